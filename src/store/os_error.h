#pragma once
// What an operating-system error number means, in the words the user reads.

#include <QString>

namespace store {

// "sin espacio en el disco" for ENOSPC, "permiso denegado" for EACCES ...;
// a number without a wording here reads "error del sistema N".
QString osErrorText(int err);

} // namespace store
