#pragma once
// The pick lists behind the buttons of the QSO entry form: a province or state
// of an entity (HLPPRV), a sub-division of a province (HLPSUBPRV), a reference
// of an award (HLPDPL). Each shows a modal list of the records of that entity,
// province or award, where typing looks a record up (by name; by code for award
// references) and a double click, Enter or "&Selecionar" chooses. The result
// is the code chosen, or the one given when none was.

#include <QString>

namespace refdata {

QString HLPPRV(const QString& entity, const QString& province = QString(4, QLatin1Char(' ')));
QString HLPSUBPRV(const QString& entity, const QString& province, const QString& subdivision = QString(15, QLatin1Char(' ')));
QString HLPDPL(const QString& award, const QString& reference = QString(10, QLatin1Char(' ')));

} // namespace refdata
