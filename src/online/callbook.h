#pragma once
// Call-book look-ups: the correspondent's name, locator, zones, QSL route,
// IOTA, state or county and postal address from HamQTH's XML service, QRZ's
// XML data service, or QRZ's web site. The QSO is handed over as its fields
// (names of the log book's record); the look-up writes back the fields it
// fills. Messages go through ui::messages(); nothing is written to disk and
// passwords never appear in a message.

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

namespace online {

class WebRequest;

// The fields of the QSO being edited, by field name ("CALL", "NAME", ...).
class CallbookQso {
public:
    QString value(const QString& field) const { return m_fields.value(field); }
    void set(const QString& field, const QString& value) { m_fields.insert(field, value); }
    const QHash<QString, QString>& fields() const { return m_fields; }

private:
    QHash<QString, QString> m_fields;
};

// The user's accounts and choices (CFG->QRZXML, QRZUSR, QRZPSW, QTHUSR, QTHPSW).
struct CallbookAccount {
    bool qrzXml = false;
    QString qrzUser;
    QString qrzPassword;
    QString qthUser;
    QString qthPassword;
};

// What a look-up keeps for the program run, never written anywhere.
struct CallbookSession {
    QString qthId;          // HamQTH session id
    QString qrzKey;         // QRZ XML session key
    QString qrzCookie;      // QRZ web session cookie
    std::unique_ptr<WebRequest> web;   // the QRZ web request object, made on first use
    QString program = QStringLiteral("ORLANLOG");   // oAppl:cAppl, the "prg" of HamQTH
    QString version;                               // oAppl:cVer
    int timeOutSeconds = 20;   // a whole request; a silent server fails after this
    // Finds a province code by entity code + upper-case state name (the PRV
    // table's tag "EntNom"); empty when unknown. The web look-up uses it.
    std::function<QString(const QString& codent, const QString& stateName)> provinceCode;

    CallbookSession();
    ~CallbookSession();
    CallbookSession(const CallbookSession&) = delete;
    CallbookSession& operator=(const CallbookSession&) = delete;
};

// The session of the program run.
CallbookSession& callbookSession();

// QRZFILL: checks the call (3 characters or more), the connection, asks
// before replacing name, locator, province, county or QSL route that already
// have data, then runs one of the look-ups. True when the QSO was filled.
// refresh, when given, is called after the QSO changed (the dialog page).
bool QRZFILL(CallbookQso& qso, const CallbookAccount& account, CallbookSession& session,
             const std::function<void()>& refresh = {}, bool hamQth = false);

bool HAMQTHXML(CallbookQso& qso, const CallbookAccount& account, CallbookSession& session, const QString& call,
               const std::function<void()>& refresh = {});
// Obtains the HamQTH session id into session.qthId (left empty on failure).
void QTHLOGIN(const CallbookAccount& account, CallbookSession& session);

bool QRZXML(CallbookQso& qso, const CallbookAccount& account, CallbookSession& session,
            const std::function<void()>& refresh = {});
// A QRZ XML session key, or empty after telling the user why.
QString QRZGETKEY(const CallbookAccount& account, CallbookSession& session);

bool QRZGET(CallbookQso& qso, CallbookAccount account, CallbookSession& session, const QString& call,
            const std::function<void()>& refresh = {});
// Logs in to the QRZ web site, keeping the session cookie in session.qrzCookie.
void QRZLOGIN(CallbookAccount account, CallbookSession& session);

// WEBQRZ: the call's QRZ address label, or empty after telling why.
QString WEBQRZ(const QString& call, CallbookSession& session);

// RUNEXPL: shows "https://" + address (given without scheme) in the
// program's browser window; the GUI installs the opener. Returns the address
// shown, empty when nothing could show it.
QString RUNEXPL(const QString& addressWithoutScheme);
void setBrowserOpener(std::function<void(const QString& url)> opener);

// The address of a call's page on each service, without scheme (for RUNEXPL).
QString qrzPageAddress(const QString& qrzPrefix, const QString& call);
QString hamQthPageAddress(const QString& call);

// The fields a look-up fills, in the order a listing shows them.
QStringList callbookFields();

} // namespace online
