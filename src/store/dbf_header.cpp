#include "dbf_header.h"

#include <QtEndian>

#include <cstring>

namespace store {

bool DbfHeader::hasMemo() const
{
    for (const auto& f : fields)
        if (f.type == 'M')
            return true;
    return false;
}

int DbfHeader::fieldIndex(const QByteArray& upperName) const
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == upperName)
            return int(i);
    return -1;
}

int DbfHeader::headerLenFromPrefix(const QByteArray& prefix)
{
    if (prefix.size() < kPrefix)
        return -1;
    return qFromLittleEndian<quint16>(prefix.constData() + dbf::kHeaderLen);
}

Status DbfHeader::parse(const QByteArray& b, qint64 fileSize, const QString& path, DbfHeader* out)
{
    auto corrupt = [&](const QString& why) {
        return Status(StatusCode::Corrupt, QStringLiteral("La tabla %1 está dañada o no es una tabla DBF: %2").arg(path, why));
    };
    if (b.size() < kPrefix + 1 || fileSize < kPrefix + 1)
        return corrupt(QStringLiteral("cabecera incompleta"));
    const auto* p = reinterpret_cast<const uchar*>(b.constData());
    DbfHeader h;
    h.type = p[dbf::kType];
    switch (h.type) {
    case 0x02: case 0x03: case 0x30: case 0x31: case 0x32: case 0x83: case 0x8B: case 0xF5: case 0xFB:
        break;
    default:
        return corrupt(QStringLiteral("tipo de fichero 0x%1 desconocido").arg(h.type, 2, 16, QLatin1Char('0')));
    }
    const uchar* updated = p + dbf::kUpdated;
    if (updated[1] >= 1 && updated[1] <= 12 && updated[2] >= 1 && updated[2] <= 31)
        h.updated = QDate(1900 + updated[0], updated[1], updated[2]);
    h.recCount = qFromLittleEndian<quint32>(p + dbf::kRecCount);
    h.headerLen = qFromLittleEndian<quint16>(p + dbf::kHeaderLen);
    h.recordLen = qFromLittleEndian<quint16>(p + dbf::kRecordLen);
    h.flags = p[dbf::kFlags];
    h.codePage = p[dbf::kCodePage];
    if (h.headerLen < kPrefix + 1 || h.headerLen > b.size())
        return corrupt(QStringLiteral("longitud de cabecera %1 no válida").arg(h.headerLen));
    if (h.recordLen < 1)
        return corrupt(QStringLiteral("longitud de registro nula"));

    int pos = kPrefix;
    int offset = 1;
    while (pos < h.headerLen && p[pos] != dbf::kHeaderEnd) {
        if (pos + kDescriptor > h.headerLen)
            return corrupt(QStringLiteral("descriptor de campo incompleto"));
        DbfField f;
        const char* name = reinterpret_cast<const char*>(p + pos);
        int n = 0;
        while (n < dbf::kFieldNameSize && name[n] != 0)
            ++n;
        f.name = QByteArray(name, n).trimmed().toUpper();
        f.type = char(p[pos + dbf::kFieldType]);
        f.len = p[pos + dbf::kFieldLen];
        f.dec = p[pos + dbf::kFieldDec];
        if (f.name.isEmpty() || f.len == 0)
            return corrupt(QStringLiteral("descriptor de campo %1 no válido").arg(h.fields.size() + 1));
        f.offset = offset;
        offset += f.len;
        h.fields.push_back(f);
        pos += kDescriptor;
        if (h.fields.size() > 2048)
            return corrupt(QStringLiteral("demasiados campos"));
    }
    if (pos >= h.headerLen && (pos >= b.size() || p[pos] != dbf::kHeaderEnd))
        return corrupt(QStringLiteral("falta el terminador de la cabecera"));
    if (h.fields.empty())
        return corrupt(QStringLiteral("la tabla no tiene campos"));
    // The header holds the prefix, the descriptors and the terminator, and in the
    // tables of the FoxPro family the 263-byte database backlink after them (other
    // tools write it for FoxPro 2 tables too); any other length puts the records
    // somewhere the fields do not describe.
    const int plain = kPrefix + kDescriptor * int(h.fields.size()) + 1;
    if (h.headerLen != plain && h.headerLen != plain + kFoxProBacklink)
        return corrupt(QStringLiteral("la longitud de cabecera %1 no coincide con sus %2 campos (%3 o %4)")
                           .arg(h.headerLen)
                           .arg(h.fields.size())
                           .arg(plain)
                           .arg(plain + kFoxProBacklink));
    if (offset != h.recordLen)
        return corrupt(QStringLiteral("la longitud de registro %1 no coincide con los campos (%2)").arg(h.recordLen).arg(offset));
    const qint64 needed = qint64(h.headerLen) + qint64(h.recCount) * h.recordLen;
    if (needed > fileSize)
        return corrupt(QStringLiteral("el fichero está truncado: %1 registros declarados, espacio para %2")
                           .arg(h.recCount)
                           .arg((fileSize - h.headerLen) / h.recordLen));
    *out = std::move(h);
    return {};
}

Status DbfHeader::build(const std::vector<FieldSpec>& specs, DbfHeader* out)
{
    auto bad = [](const QString& why) { return Status(StatusCode::Invalid, why); };
    if (specs.empty())
        return bad(QStringLiteral("Una tabla necesita al menos un campo"));
    DbfHeader h;
    int offset = 1;
    for (const auto& s : specs) {
        DbfField f;
        f.name = s.name.trimmed().toUpper();
        if (f.name.isEmpty() || f.name.size() > 10)
            return bad(QStringLiteral("Nombre de campo no válido: \"%1\"").arg(QString::fromLatin1(s.name)));
        for (char c : f.name)
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
                return bad(QStringLiteral("Nombre de campo no válido: \"%1\"").arg(QString::fromLatin1(s.name)));
        if (h.fieldIndex(f.name) >= 0)
            return bad(QStringLiteral("Campo repetido: %1").arg(QString::fromLatin1(f.name)));
        f.type = char(std::toupper(uchar(s.type)));
        f.len = s.len;
        f.dec = s.dec;
        switch (f.type) {
        case 'C':
            if (f.len < 1 || f.len > 254)
                return bad(QStringLiteral("Anchura no válida para el campo %1").arg(QString::fromLatin1(f.name)));
            f.dec = 0;
            break;
        case 'N':
            if (f.len < 1 || f.len > 20 || f.dec < 0 || (f.dec > 0 && f.dec > f.len - 2))
                return bad(QStringLiteral("Anchura o decimales no válidos para el campo %1").arg(QString::fromLatin1(f.name)));
            break;
        case 'D': f.len = 8; f.dec = 0; break;
        case 'L': f.len = 1; f.dec = 0; break;
        case 'M': f.len = 10; f.dec = 0; break;
        default:
            return bad(QStringLiteral("Tipo de campo no admitido: %1").arg(QLatin1Char(f.type)));
        }
        f.offset = offset;
        offset += f.len;
        h.fields.push_back(f);
    }
    if (offset > 65535)
        return bad(QStringLiteral("El registro es demasiado largo"));
    h.type = h.hasMemo() ? kTypeFpt : kTypePlain;
    h.flags = h.hasMemo() ? kFlagMemo : 0;
    h.recordLen = quint16(offset);
    h.headerLen = quint16(kPrefix + kDescriptor * h.fields.size() + 1);
    h.updated = QDate::currentDate();
    *out = std::move(h);
    return {};
}

void DbfHeader::encodePrefix(char out[32]) const
{
    std::memset(out, 0, 32);
    auto* p = reinterpret_cast<uchar*>(out);
    p[dbf::kType] = type;
    QDate d = updated.isValid() ? updated : QDate::currentDate();
    p[dbf::kUpdated] = uchar(qBound(0, d.year() - 1900, 255));
    p[dbf::kUpdated + 1] = uchar(d.month());
    p[dbf::kUpdated + 2] = uchar(d.day());
    qToLittleEndian<quint32>(recCount, p + dbf::kRecCount);
    qToLittleEndian<quint16>(headerLen, p + dbf::kHeaderLen);
    qToLittleEndian<quint16>(recordLen, p + dbf::kRecordLen);
    p[dbf::kFlags] = flags;
    p[dbf::kCodePage] = codePage;
}

QByteArray DbfHeader::encode() const
{
    QByteArray out(headerLen, '\0');
    encodePrefix(out.data());
    int pos = kPrefix;
    for (const auto& f : fields) {
        char* d = out.data() + pos;
        std::memcpy(d, f.name.constData(), size_t(qMin<int>(f.name.size(), dbf::kFieldNameSize - 1)));
        d[dbf::kFieldType] = f.type;
        qToLittleEndian<quint32>(quint32(f.offset), d + dbf::kFieldOffset);
        d[dbf::kFieldLen] = char(f.len);
        d[dbf::kFieldDec] = char(f.dec);
        pos += kDescriptor;
    }
    out[pos] = char(dbf::kHeaderEnd);
    return out;
}

} // namespace store
