#pragma once

#include "gui/MRV_Dialog.h"

// The program's icon, name and version.
class MRV_AboutBox : public MRV_Dialog {
public:
    static constexpr const char16_t* Version = u"8.80.202";

    explicit MRV_AboutBox(QWidget* parent = nullptr);
};
