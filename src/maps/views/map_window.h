#pragma once
// A window around one generated page: the page is written to its file in the
// working folder ("gMapGrid.html", "e.html", "plotfil.htm" ...), shown, and the
// file deleted when the window goes.

#include <QWidget>

namespace maps {

class WebPane;

class MapWindow : public QWidget {
    Q_OBJECT
public:
    MapWindow(const QString& fileName, QWidget* parent = nullptr);
    ~MapWindow() override;

    // Writes the page and shows it; false (and a note in the window) when the
    // file could not be written.
    bool showPage(const QString& html);
    QString filePath() const;
    WebPane* pane() const { return m_pane; }

private:
    QString m_fileName;
    WebPane* m_pane;
};

} // namespace maps
