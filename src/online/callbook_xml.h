#pragma once
// Reading the call books' XML answers.

#include <QString>

namespace online {

// GETFLD: the text of the first element named exactly name (case-sensitive,
// namespaces and attributes ignored) anywhere in xml; empty when there is no
// such element or the document breaks before it. Child markup inside the
// element is dropped, its text kept.
QString GETFLD(const QString& name, const QString& xml);

} // namespace online
