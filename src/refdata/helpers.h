#pragma once
// Two small helpers the rest of the program calls by name.

#include <QString>
#include <QVariant>

#include <optional>

namespace refdata {

// Gives the variable the default when it holds nothing.
template <typename T, typename D>
void HB_DEFAULT(std::optional<T>* var, const D& def)
{
    if (!var->has_value())
        *var = T(def);
}
inline void HB_DEFAULT(QVariant* var, const QVariant& def)
{
    if (!var->isValid())
        *var = def;
}

// The text as it is (the copyright line goes through it).
inline QString Q7STR(const QString& text) { return text; }

} // namespace refdata
