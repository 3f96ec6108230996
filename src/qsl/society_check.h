#pragma once
// The society membership check of the print spool (CHKSOCIOURE): the spooled
// QSOs of the four Spanish entities are looked up on the society's server
// through the keep-alive client, and those it answers "Not member" for are
// taken out of the spool. The address is the INI key [Servicios] SociosURE.

#include <QString>

#include <functional>

namespace store {
class WorkArea;
}

namespace qsl {

// The INI key and its default (scheme and host, plain http: the keep-alive client speaks no TLS).
QString societyEndpointKey();
QString societyEndpointDefault();
QString societyEndpoint();   // the setting, written back with its default when missing

// True for the entities looked up: " 89", " 90", " 91", " 92".
bool isSocietyEntity(const QString& codEnt);
// The call looked up: spaces removed; with "/", the longer part (the part
// after the "/" when both are equally long). EA6/DL1ABC -> DL1ABC, EA3XYZ/P -> EA3XYZ.
QString societyCall(const QString& call);

struct SocietyCheckOptions {
    QString base;                 // "http://host[:port]"; empty: societyEndpoint()
    double timeOutSeconds = 2;
    int retriesPerRow = 3;        // time-outs of one row before the check stops
    // Progress: percent (0..100) and the call; returns false to stop.
    std::function<bool(int percent, const QString& call)> progress;
};

struct SocietyCheckResult {
    int removed = 0;
    int looked = 0;               // requests answered
    bool completed = false;       // every row seen
    QString error;                // why it stopped, as told to the user
};

// Runs over `spool` (in its order, from the top) and speaks through
// ui::messages(): offline refusal, the notice of what is checked, a socket that
// cannot be made, an unexpected status, a row that keeps timing out, and the
// final count. Goes to the top at the end.
SocietyCheckResult CHKSOCIOURE(store::WorkArea& spool, const SocietyCheckOptions& options = {});

} // namespace qsl
