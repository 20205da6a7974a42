#include "gui/MRV_AboutBox.h"

#include "tsframework/CTSBSTR.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

MRV_AboutBox::MRV_AboutBox(QWidget* parent) : MRV_Dialog(2041, parent) {
    // The application's own icon; before one is set, the platform's
    // information icon stands in.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    auto* picture = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    picture->setPixmap(icon.pixmap(size, size));
    picture->setAlignment(Qt::AlignTop);
    auto* version = control<QLabel>(1075);
    name(version, 1075, CTSBSTR().Format(u"%s %s", text(2041), Version));

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(version, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(okCancel(false));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    finish();
}
