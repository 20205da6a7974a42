#include "managers/MRV_CompanyDisplaySettingsManager.h"

using namespace Qt::StringLiterals;

MRV_CompanyDisplaySettingsManager::MRV_CompanyDisplaySettingsManager(MRV_ConnectionContext* context,
                                                                     const QString& categoryId)
    : MRV_DIInterface(context, categoryId) {
    declareTable({
        .name = u"OADM"_s,
        .objectType = MRV_TableDeclaration::Settings,
        // Units of length and weight are numbered per company: the defaults
        // travel by the units' names. One the target lacks yet is left out,
        // and the target keeps its own default.
        .references = {MRV_Reference::byName(u"StandardUnitofLength"_s, u"OLGT"_s, u"UnitCode"_s,
                                             {u"UnitDisply"_s})
                           .orLeftOut(),
                       MRV_Reference::byName(u"WeightUnitDefault"_s, u"OWGT"_s, u"UnitCode"_s,
                                             {u"UnitDisply"_s})
                           .orLeftOut()},
        .settingsElement = u"AdminInfo"_s,
        // The time and date formats are the digits of the host's
        // enumerations (0 24-hour, 1 12-hour; 0 to 5), as the host stores
        // them.
        .settings = {u"CompanyColor"_s, u"StandardUnitofLength"_s, u"WeightUnitDefault"_s,
                     u"TimeTemplate"_s, u"DateTemplate"_s, u"DateSeparator"_s, u"TotalsAccuracy"_s,
                     u"PriceAccuracy"_s, u"RateAccuracy"_s, u"AccuracyofQuantities"_s,
                     u"PercentageAccuracy"_s, u"MeasuringAccuracy"_s, u"DecimalSeparator"_s,
                     u"ThousandsSeparator"_s, u"DisplayCurrencyontheRight"_s,
                     u"DirectIndirectRate"_s, u"AccountSegmentsSeparator"_s},
    });
}
