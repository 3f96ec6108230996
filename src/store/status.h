#pragma once
// Result of an engine operation. A refused lock or a table held by another user
// is a result (Busy), never an exception: the caller decides about retrying.

#include <QString>

namespace store {

enum class StatusCode {
    Ok,
    Busy,          // lock refused / table held exclusively by someone else
    NotFound,      // file, tag, field or alias does not exist
    Corrupt,       // damaged or foreign file
    IoError,       // the operating system refused a read or write
    BadExpression, // a key, FOR or filter expression that does not compile
    ReadOnly,      // write attempted on a read-only or unlockable area
    NotLocked,     // write attempted on a shared area without the record lock
    Invalid,       // wrong argument (no current record, bad field value ...)
    Stale,         // index changed by another process during a read: run the read again
};

class Status {
public:
    Status() = default;
    Status(StatusCode code, QString message, int osError = 0)
        : m_code(code), m_message(std::move(message)), m_osError(osError) {}

    static Status ok() { return {}; }
    bool isOk() const { return m_code == StatusCode::Ok; }
    explicit operator bool() const { return isOk(); }

    StatusCode code() const { return m_code; }
    const QString& message() const { return m_message; }
    int osError() const { return m_osError; }   // errno when the OS reported one, else 0

    // Message followed by what the OS error means, when there is one.
    QString text() const;

private:
    StatusCode m_code = StatusCode::Ok;
    QString m_message;
    int m_osError = 0;
};

} // namespace store
