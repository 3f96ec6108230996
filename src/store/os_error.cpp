#include "os_error.h"

#include <cerrno>

namespace store {

QString osErrorText(int err)
{
    switch (err) {
    case ENOSPC: return QStringLiteral("sin espacio en el disco");
    case EDQUOT: return QStringLiteral("cuota de disco agotada");
    case EFBIG: return QStringLiteral("el fichero supera el tamaño máximo permitido");
    case EROFS: return QStringLiteral("sistema de ficheros de solo lectura");
    case EACCES:
    case EPERM: return QStringLiteral("permiso denegado");
    case ENOENT: return QStringLiteral("el fichero no existe");
    case ENOTDIR: return QStringLiteral("una parte de la ruta no es una carpeta");
    case EISDIR: return QStringLiteral("es una carpeta, no un fichero");
    case EIO: return QStringLiteral("error de entrada/salida del dispositivo");
    case EAGAIN: return QStringLiteral("bloqueado por otro proceso");
    case EBUSY: return QStringLiteral("el fichero está en uso");
    case EMFILE:
    case ENFILE: return QStringLiteral("demasiados ficheros abiertos");
    case ENAMETOOLONG: return QStringLiteral("nombre de fichero demasiado largo");
    case ENOLCK: return QStringLiteral("no quedan bloqueos disponibles en el sistema");
    case ENOMEM: return QStringLiteral("memoria insuficiente");
    case ESTALE: return QStringLiteral("el fichero de red ya no está disponible");
    default: return QStringLiteral("error del sistema %1").arg(err);
    }
}

} // namespace store
