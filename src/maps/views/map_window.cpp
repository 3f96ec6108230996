#include "map_window.h"

#include "web_pane.h"

#include "core/messages.h"

#include <QDir>
#include <QFile>
#include <QVBoxLayout>

namespace maps {

MapWindow::MapWindow(const QString& fileName, QWidget* parent) : QWidget(parent), m_fileName(fileName)
{
    setObjectName(fileName);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_pane = new WebPane(this);
    lay->addWidget(m_pane);
    resize(820, 600);
}

MapWindow::~MapWindow() { QFile::remove(filePath()); }

QString MapWindow::filePath() const { return pageFolder() + m_fileName; }

bool MapWindow::showPage(const QString& html)
{
    const QString path = writePage(m_fileName, html);
    if (path.isEmpty()) {
        ui::messages().alert(QStringLiteral("No se pudo escribir ") + QDir::toNativeSeparators(filePath()));
        return false;
    }
    m_pane->showFile(path);
    return true;
}

} // namespace maps
