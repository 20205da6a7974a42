#include "managers/MRV_PrintOnAddSettingsManager.h"

using namespace Qt::StringLiterals;

MRV_PrintOnAddSettingsManager::MRV_PrintOnAddSettingsManager(MRV_ConnectionContext* context,
                                                             const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    declareTable({
        .name = u"ADP1"_s,
        .objectType = MRV_TableDeclaration::Settings,
        .keyColumns = {u"ObjType"_s, u"PrintId"_s},
        .settingsElement = u"PrintPreference"_s,
        .settings = {u"MaxLineNum"_s, u"V_Compress"_s, u"TopMrgn"_s, u"BtmMrgn"_s, u"MaxWordLin"_s,
                     u"SNType"_s, u"PrintMeta"_s, u"PrnCompany"_s, u"MnhlNote"_s, u"DraftNote"_s,
                     u"PrintRcpt"_s, u"ShortRcpt"_s},
    });
}
