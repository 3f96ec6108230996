#pragma once
// What becomes of the traffic of the cluster connections: CRTSPOT cuts each
// chunk into spots, talks, announcements and WWV/WCY bulletins, files them in
// the session's tables (spots, ann, wwv, wcy) and tells whoever listens.
//
//     cluster::SpotFeed feed;                      // one for all connections
//     feed.attach(telnet);                         // its chunks go to CRTSPOT
//     QObject::connect(&feed, &cluster::SpotFeed::spotFiled, list, [](const cluster::FiledSpot& s) { ... });
//
// Every chunk is also appended to the traffic log "logcluster.txt" in the
// program directory (emptied at the first chunk of the run). Spots whose band
// or mode is not followed (Band/Modo CLUSIN), duplicates (same time, call and
// spotter, from any connection) and malformed lines are not filed.

#include "spot_status.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

namespace cluster {

class TTelnet;

// A spot as filed in the spots table.
struct FiledSpot {
    quint32 recNo = 0;
    QString call, band, mode, comment, time, spotter, locator;
    double kHz = 0;
    QString codEnt, entityLocator, qtf, qrb;
    SpotStatus status;
};

struct ChunkResult {
    QVector<FiledSpot> spots;   // filed now, in order
    bool lastSpotAccepted = false;
    int announcements = 0;      // talks and announcements filed
    int talks = 0;
    int wwv = 0, wcy = 0;
};

// Which list a window refreshes after a chunk: the spots when its last spot
// line was filed, else the announcements, else WWV, else WCY; none.
enum class Refresh { None, Spots, Announcements, Wwv, Wcy };
Refresh refreshAfter(const ChunkResult& r);

// Builds the band and mode filter maps (run again after the settings change).
void INIFILCLUS();

// SPOTFIL: the spots table limited to one band (its "Band" order), or all of
// them in record order for "ALL"; left on the last spot.
void SPOTFIL(const QString& band);

class SpotFeed : public QObject {
    Q_OBJECT
public:
    explicit SpotFeed(QObject* parent = nullptr);

    // Parses one chunk received by a connection logged in as stationCall.
    ChunkResult CRTSPOT(const QByteArray& chunk, const QString& stationCall);
    // Hands what t reads to CRTSPOT (t's bRead hook), in whole lines.
    void attach(TTelnet* t);

signals:
    void spotFiled(const cluster::FiledSpot& spot);
    void announcementFiled(const QString& call, const QString& text, bool talk);
    // "talk recibido" + sender + ":" + text; the user has already been told
    // through ui::messages(), so a window only shows it in its lists.
    void talkReceived(const QString& text);
    void wwvFiled();
    void wcyFiled();

private:
    bool spot(const QByteArray& line, ChunkResult* r);
};

} // namespace cluster
