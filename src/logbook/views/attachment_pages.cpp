#include "attachment_pages.h"

#include "log_window.h"
#include "microphone.h"

#include "logbook/attachments.h"

#include "core/messages.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QAudioOutput>
#include <QClipboard>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QSaveFile>
#include <QTabWidget>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace logbook {

namespace {

using A = store::WorkArea;

store::Workspace& ws() { return store::Workspace::instance(); }
A* attachArea() { return ws().area(store::alias::kAttach); }

// The key of the QSO under the log's cursor ("" when none).
QString currentKey()
{
    A* log = ws().area(store::alias::kLog);
    return log && !log->eof() ? log->str(QStringLiteral("KEY")) : QString();
}

QString currentCall()
{
    A* log = ws().area(store::alias::kLog);
    return log && !log->eof() ? log->str(QStringLiteral("CALL")).trimmed() : QString();
}

const QString kImageFilter = QStringLiteral(
    "JPG (*.jpg *.JPG *.jpeg *.JPEG);;BMP (*.bmp *.BMP);;GIF (*.gif *.GIF);;ICO (*.ico *.ICO);;"
    "PCX (*.pcx *.PCX);;PNG (*.png *.PNG)");

QString choose(const AttachmentPagesHost& host, QWidget* parent, ui::ChooseMode mode, const QString& title,
               const QString& proposed, const QString& filter, const QString& kind)
{
    if (host.chooseFile)
        return host.chooseFile(parent, mode, title, proposed, filter);
    if (mode == ui::ChooseMode::Open)
        return ui::chooseFile(parent, mode, kind, title, QString(), proposed, filter, ws().programDir());
    // the overwrite question is the program's own, below
    const QString start = QDir(ui::lastFolder(kind, ws().programDir())).filePath(proposed);
    const QString chosen = QFileDialog::getSaveFileName(parent, title, start, filter, nullptr, QFileDialog::DontConfirmOverwrite);
    if (!chosen.isEmpty())
        ui::rememberFolder(kind, chosen);
    return chosen;
}

// Writes bytes into a file of the folder; its path, empty when it could not.
QString writeTemp(const QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    if (!dir.isValid())
        return {};
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        return {};
    return path;
}

// The list of one page: a single column, the description, edited in place.
void describeColumn(ui::GridPanel* panel)
{
    panel->browse()->addColumn({.header = QStringLiteral("Descripción"),
                                .text = [](A& a) { return a.str(QStringLiteral("DESC")).trimmed(); },
                                .edit = [](A& a, const QString& text) { return setAttachmentDescription(a, text); },
                                .maxLength = kAttachmentDescriptionWidth});
    panel->browse()->horizontalHeader()->setStretchLastSection(true);
}

// The previous record of the limited list, 0 when the current is the first.
quint32 previousRecord(A& a)
{
    const quint32 rec = a.recNo();
    a.skip(-1);
    const quint32 prev = a.bof() ? 0 : a.recNo();
    a.goTo(rec);
    return prev;
}

} // namespace

void registerAttachmentPages(AttachmentPagesHost host)
{
    LogWindow::registerPage(4, [host](LogWindow* w) -> QWidget* {
        if (!attachArea())
            return nullptr;
        auto* page = new ImagePage(w, host);
        QObject::connect(w->pages(), &QTabWidget::currentChanged, page, [w, page](int i) {
            if (w->pages()->widget(i) == page)
                page->shown();
        });
        return page;
    });
    LogWindow::registerPage(5, [host](LogWindow* w) -> QWidget* {
        if (!attachArea())
            return nullptr;
        auto* page = new SoundPage(w, host);
        QObject::connect(w->pages(), &QTabWidget::currentChanged, page, [w, page](int i) {
            if (w->pages()->widget(i) == page)
                page->shown();
        });
        return page;
    });
}

// ---------------------------------------------------------------- the picture

ImageView::ImageView(QWidget* parent) : QScrollArea(parent), m_label(new QLabel)
{
    m_label->setAlignment(Qt::AlignCenter);
    setWidget(m_label);
    setAlignment(Qt::AlignCenter);
    setMinimumSize(200, 150);
    setBackgroundRole(QPalette::Dark);
    render();
}

void ImageView::setImage(const QImage& image)
{
    m_image = image;
    render();
}

void ImageView::setFitted(bool on)
{
    m_fit = on;
    render();
}

void ImageView::resizeEvent(QResizeEvent* e)
{
    QScrollArea::resizeEvent(e);
    if (m_fit)
        render();
}

void ImageView::render()
{
    if (m_image.isNull()) {
        // the picture for no image
        m_label->setPixmap(QPixmap());
        m_label->setText(QStringLiteral("Sin imagen"));
        m_label->setStyleSheet(QStringLiteral("QLabel { color: #606060; background: #f0f0f0; border: 1px dashed #a0a0a0; }"));
        m_label->resize(viewport()->size());
        return;
    }
    m_label->setStyleSheet(QString());
    m_label->setText(QString());
    QImage shown = m_image;
    if (m_fit) {
        const QSize room = viewport()->size() - QSize(2, 2);
        if (room.isValid() && (m_image.width() > room.width() || m_image.height() > room.height()))
            shown = m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    m_label->setPixmap(QPixmap::fromImage(shown));
    m_label->resize(m_fit ? viewport()->size().expandedTo(shown.size()) : shown.size());
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

namespace {

// The "Descripción" row both attach dialogs open with (control 600).
QLineEdit* descriptionRow(QWidget* dialog, QVBoxLayout* lay)
{
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Descripción"), dialog));
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(QStringLiteral("600"));
    edit->setMaxLength(35);
    top->addWidget(edit, 1);
    lay->addLayout(top);
    return edit;
}

} // namespace

// ---------------------------------------------------------------- "Vincular Imagen"

ImageAttachDialog::ImageAttachDialog(const AttachmentPagesHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("ATTIMG"));
    setWindowTitle(QStringLiteral("Vincular Imagen"));
    auto* lay = new QVBoxLayout(this);
    m_description = descriptionRow(this, lay);

    auto* group = new QGroupBox(QStringLiteral("Vincular desde"), this);
    auto* glay = new QHBoxLayout(group);
    auto* file = new QPushButton(QStringLiteral("Fichero"), group);
    file->setObjectName(QStringLiteral("4000"));
    auto* clip = new QPushButton(QStringLiteral("ClipBoard"), group);
    clip->setObjectName(QStringLiteral("4001"));
    glay->addWidget(file);
    glay->addWidget(clip);
    glay->addStretch(1);
    lay->addWidget(group);

    m_view = new ImageView(this);
    m_view->setMinimumSize(360, 260);
    lay->addWidget(m_view, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_ok->setObjectName(QStringLiteral("1"));
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    cancel->setObjectName(QStringLiteral("2"));
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    lay->addLayout(buttons);
    connect(file, &QPushButton::clicked, this, &ImageAttachDialog::fromFile);
    connect(clip, &QPushButton::clicked, this, &ImageAttachDialog::fromClipboard);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString ImageAttachDialog::description() const { return m_description->text().trimmed(); }
QImage ImageAttachDialog::image() const { return m_view->image(); }

void ImageAttachDialog::fromFile()
{
    const QString path = choose(m_host, this, ui::ChooseMode::Open, m_host.appTitle + QStringLiteral(" Seleccione nombre de archivo"),
                                QString(), kImageFilter, QStringLiteral("attachImage"));
    if (path.isEmpty())
        return;
    QString why;
    const QImage image = readImageFile(path, &why);
    if (image.isNull()) {
        ui::messages().stop(why);
        return;
    }
    m_view->setImage(image);
    m_ok->setEnabled(true);
}

void ImageAttachDialog::fromClipboard()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        ui::messages().alert(QStringLiteral("El porta papeles no contiene ninguna imagen"));
        return;
    }
    m_view->setImage(image);
    m_ok->setEnabled(true);
}

// ---------------------------------------------------------------- "Nueva Grabación"

SoundAttachDialog::SoundAttachDialog(const AttachmentPagesHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("SNDADD"));
    setWindowTitle(QStringLiteral("Nueva Grabación"));
    auto* lay = new QVBoxLayout(this);
    m_description = descriptionRow(this, lay);
    m_description->setText(QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")) + QLatin1Char(' ')
                           + QTime::currentTime().toString(QStringLiteral("HH:mm")));
    m_description->setMinimumWidth(m_description->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('n'))));

    auto* fileGroup = new QGroupBox(QStringLiteral("Vincular Fichero"), this);
    auto* flay = new QHBoxLayout(fileGroup);
    m_file = new QLineEdit(fileGroup);
    m_file->setObjectName(QStringLiteral("601"));
    m_file->setReadOnly(true);
    auto* browse = new QToolButton(fileGroup);
    browse->setObjectName(QStringLiteral("702"));
    browse->setText(QStringLiteral("..."));
    flay->addWidget(m_file, 1);
    flay->addWidget(browse);
    lay->addWidget(fileGroup);

    auto* recGroup = new QGroupBox(QStringLiteral("Grabar"), this);
    auto* rlay = new QHBoxLayout(recGroup);
    m_record = new QToolButton(recGroup);
    m_record->setObjectName(QStringLiteral("700"));
    m_record->setToolTip(QStringLiteral("Grabar"));
    m_record->setIcon(QIcon::fromTheme(QStringLiteral("media-record")));
    m_record->setText(QStringLiteral("Grabar"));
    m_record->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_stop = new QToolButton(recGroup);
    m_stop->setObjectName(QStringLiteral("701"));
    m_stop->setToolTip(QStringLiteral("Detener"));
    m_stop->setIcon(QIcon::fromTheme(QStringLiteral("media-playback-stop")));
    m_stop->setText(QStringLiteral("Detener"));
    m_stop->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    rlay->addWidget(m_record);
    rlay->addWidget(m_stop);
    rlay->addStretch(1);
    lay->addWidget(recGroup);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_ok->setObjectName(QStringLiteral("1"));
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    cancel->setObjectName(QStringLiteral("2"));
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    lay->addLayout(buttons);
    connect(browse, &QToolButton::clicked, this, &SoundAttachDialog::chooseFile);
    connect(m_record, &QToolButton::clicked, this, &SoundAttachDialog::startRecording);
    connect(m_stop, &QToolButton::clicked, this, &SoundAttachDialog::stopRecording);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

SoundAttachDialog::~SoundAttachDialog()
{
    if (m_recording && m_recorder)
        m_recorder->stop();
}

QString SoundAttachDialog::description() const { return m_description->text().trimmed(); }

QByteArray SoundAttachDialog::sound() const
{
    if (!m_file->text().isEmpty()) {
        QFile f(m_file->text());
        if (f.open(QIODevice::ReadOnly))
            return f.readAll();
        return {};
    }
    return m_recorded;
}

void SoundAttachDialog::chooseFile()
{
    const QString path = choose(m_host, this, ui::ChooseMode::Open, m_host.appTitle + QStringLiteral(" Seleccione nombre de archivo"),
                                QString(), QStringLiteral("WAV (*.wav *.WAV)"), QStringLiteral("attachSound"));
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !isWavFile(f.readAll())) {
        ui::messages().stop(path + QStringLiteral("\r\nEl fichero no es un sonido WAV"));
        return;
    }
    m_file->setText(path);
    updateButtons();
}

void SoundAttachDialog::startRecording()
{
    if (m_recording || !m_file->text().isEmpty())
        return;
    if (!startRecorder(&m_recorder, m_host.makeRecorder))
        return;
    m_recording = true;
    updateButtons();
}

void SoundAttachDialog::stopRecording()
{
    if (!m_recording)
        return;
    const QByteArray samples = m_recorder->stop();
    m_recording = false;
    if (ui::messages().yesNo(QStringLiteral("Guardar grabación"), m_host.appTitle))
        m_recorded = wavFile(samples);
    updateButtons();
}

void SoundAttachDialog::done(int r)
{
    // a recording still running is stopped and dropped, whatever ends the dialog
    if (m_recording) {
        m_recorder->stop();
        m_recording = false;
    }
    QDialog::done(r);
}

void SoundAttachDialog::updateButtons()
{
    const bool file = !m_file->text().isEmpty();
    m_record->setEnabled(!file && !m_recording);
    m_stop->setEnabled(!file && m_recording);
    m_ok->setEnabled(!m_recording && (!m_recorded.isEmpty() || (file && QFileInfo::exists(m_file->text()))));
}

// ---------------------------------------------------------------- both pages

AttachmentPage::AttachmentPage(LogWindow* window, const AttachmentPagesHost& host, const QString& type, const Captions& captions,
                               QWidget* parent)
    : QWidget(parent), m_window(window), m_host(host), m_type(type)
{
    setObjectName(QString::fromLatin1(captions.name));
    m_panel = new ui::GridPanel(attachArea(), this);
    m_panel->setObjectName(QString::fromLatin1(captions.list));
    describeColumn(m_panel);
    m_panel->setCaptionsShown(true);
    m_panel->addButton(QStringLiteral("new"), QStringLiteral("Nuevo"), QString::fromUtf8(captions.newTip),
                       {QStringLiteral("list-add"), QStringLiteral("document-new")}, [this] { add(); });
    m_panel->addButton(QStringLiteral("edit"), QStringLiteral("Editar"), QStringLiteral("Editar descripción"),
                       {QStringLiteral("document-edit")}, [this] { m_panel->browse()->editCurrentCell(); });
    m_panel->addButton(QStringLiteral("delete"), QStringLiteral("Borrar"), QString::fromUtf8(captions.deleteTip),
                       {QStringLiteral("edit-delete")}, [this] { remove(); });
    m_panel->bar()->addSeparator();
    m_panel->onEdit([this] { m_panel->browse()->editCurrentCell(); });
    m_panel->onCreate([this] { add(); });
    m_panel->onDelete([this] { remove(); });
}

QAction* AttachmentPage::action(const QString& id) const { return m_panel->bar()->findChild<QAction*>(id); }

void AttachmentPage::shown()
{
    A* attach = attachArea();
    if (!attach)
        return;
    m_key = currentKey();
    limitAttachments(*attach, m_key, m_type);
    m_panel->browse()->refresh();
    m_panel->showCurrent();
    showCurrent();
}

void AttachmentPage::added()
{
    const quint32 rec = attachArea()->recNo();
    m_window->updateAttachmentTabs();
    shown();
    attachArea()->goTo(rec);
    m_panel->showCurrent();
    showCurrent();
}

void AttachmentPage::removeCurrent(const QString& question)
{
    A* attach = attachArea();
    if (!attach || attach->eof())
        return;
    if (!ui::messages().noYes(question))
        return;
    const quint32 previous = previousRecord(*attach);
    if (!deleteAttachment(*attach))
        return;
    m_window->updateAttachmentTabs();
    shown();
    if (previous) {
        attach->goTo(previous);
        m_panel->showCurrent();
        showCurrent();
    }
}

// ---------------------------------------------------------------- page 4

ImagePage::ImagePage(LogWindow* window, const AttachmentPagesHost& host, QWidget* parent)
    : AttachmentPage(window, host, kImageAttachment, {"DSPATTIMG", "images", "Añadir imagen", "Borrar imagen"}, parent)
{
    m_panel->addButton(QStringLiteral("copy"), QStringLiteral("Copiar"), QStringLiteral("Copiar al porta papeles"),
                       {QStringLiteral("edit-copy")}, [this] { copy(); });
    QAction* paste = m_panel->addButton(QStringLiteral("paste"), QStringLiteral("Pegar"), QStringLiteral("Sustituir imagen"),
                                        {QStringLiteral("edit-paste")}, [this] { replaceFromClipboard(); });
    auto* pasteMenu = new QMenu(this);
    pasteMenu->addAction(QStringLiteral("Del porta papeles"), this, [this] { replaceFromClipboard(); });
    pasteMenu->addAction(QStringLiteral("De un archivo"), this, [this] { replaceFromFile(); });
    paste->setMenu(pasteMenu);
    if (auto* b = qobject_cast<QToolButton*>(m_panel->bar()->widgetForAction(paste)))
        b->setPopupMode(QToolButton::MenuButtonPopup);
    m_panel->addButton(QStringLiteral("save"), QStringLiteral("Guardar"), QStringLiteral("Guardar en un archivo"),
                       {QStringLiteral("document-save-as")}, [this] { save(); });
    m_panel->bar()->addSeparator();
    m_panel->addButton(QStringLiteral("fit"), QStringLiteral("Ajustar"), QStringLiteral("Ajustar a la ventana"),
                       {QStringLiteral("zoom-fit-best")}, [this] { m_view->setFitted(true); });
    m_panel->addButton(QStringLiteral("actual"), QStringLiteral("1:1"), QStringLiteral("Tamaño real"),
                       {QStringLiteral("zoom-original")}, [this] { m_view->setFitted(false); });
    m_panel->addButton(QStringLiteral("viewer"), QStringLiteral("Visor"), QStringLiteral("Abrir con el visor del sistema"),
                       {QStringLiteral("image-x-generic"), QStringLiteral("document-open")}, [this] { openViewer(); });
    connect(m_panel->browse(), &ui::tQ7Browse::currentRecordChanged, this, [this](quint32) { showCurrent(); });

    m_view = new ImageView(this);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Copiar al porta papeles"), this, [this] {
            copy();
            ui::messages().info(QStringLiteral("imagen copiada en el porta papeles"));
        });
        menu.addAction(QStringLiteral("Guardar en un archivo"), this, [this] { save(); });
        menu.exec(m_view->mapToGlobal(at));
    });

    // the bar over both, the list 200 pixels wide on the left, the picture on the right
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_panel->bar());
    auto* body = new QHBoxLayout;
    m_panel->setFixedWidth(200);
    body->addWidget(m_panel);
    body->addWidget(m_view, 1);
    lay->addLayout(body, 1);
}

void ImagePage::showCurrent()
{
    A* attach = attachArea();
    const QByteArray data = attach ? attachmentData(*attach) : QByteArray();
    if (data.isEmpty()) {
        m_view->setImage({});
        return;
    }
    QImage image;
    ui::messages().wait(QStringLiteral("Cargando imagen"), QString(), [&] { image = QImage::fromData(data); });
    m_view->setImage(image);
}

void ImagePage::add()
{
    if (m_key.trimmed().isEmpty())
        return;
    ImageAttachDialog dialog(m_host, this);
    if (dialog.exec() != QDialog::Accepted || dialog.image().isNull()) {
        showCurrent();
        return;
    }
    bool stored = false;
    QString why;
    ui::messages().wait(QStringLiteral("Grabando imagen en base de datos"), QString(),
                        [&] { stored = addImageAttachment(m_key, dialog.description(), dialog.image(), &why); });
    if (!stored) {
        ui::messages().stop(why);
        shown();
        return;
    }
    added();
}

void ImagePage::remove()
{
    removeCurrent(QStringLiteral("Se va a eliminar imagen \r\nEsta seguro"));
}

void ImagePage::copy()
{
    if (m_view->hasImage())
        QGuiApplication::clipboard()->setImage(m_view->image());
}

void ImagePage::replaceWith(const QImage& image)
{
    A* attach = attachArea();
    if (!attach || image.isNull())
        return;
    bool done = false;
    QString why;
    if (attach->eof()) {
        // no image yet to replace: the picture becomes the QSO's first one
        const QDateTime now = QDateTime::currentDateTime();
        ui::messages().wait(QStringLiteral("Grabando imagen en base de datos"), QString(), [&] {
            done = addImageAttachment(m_key, now.toString(QStringLiteral("dd-MM-yyyy HH:mm:ss")), image, &why);
        });
        if (done) {
            m_window->updateAttachmentTabs();
            shown();
        }
    } else {
        ui::messages().wait(QStringLiteral("Grabando imagen en base de datos"), QString(),
                            [&] { done = replaceAttachmentImage(*attach, image, &why); });
        showCurrent();
    }
    if (!done)
        ui::messages().stop(why);
}

void ImagePage::replaceFromClipboard()
{
    if (m_key.trimmed().isEmpty())
        return;
    A* attach = attachArea();
    if (attach && !attach->eof() && !ui::messages().yesNo(QStringLiteral("Desea sustituir la imagen actual")))
        return;
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        ui::messages().alert(QStringLiteral("El porta papeles no contiene ninguna imagen"));
        return;
    }
    replaceWith(image);
}

void ImagePage::replaceFromFile()
{
    if (m_key.trimmed().isEmpty())
        return;
    A* attach = attachArea();
    if (attach && !attach->eof() && !ui::messages().yesNo(QStringLiteral("Desea sustituir la imagen actual")))
        return;
    const QString path = choose(m_host, this, ui::ChooseMode::Open,
                                m_host.appTitle + QStringLiteral(" Seleccione carpeta y nombre de fichero"), QString(),
                                kImageFilter, QStringLiteral("attachImage"));
    if (path.isEmpty())
        return;
    QString why;
    const QImage image = readImageFile(path, &why);
    if (image.isNull()) {
        ui::messages().stop(why);
        return;
    }
    replaceWith(image);
}

void ImagePage::save()
{
    A* attach = attachArea();
    const QByteArray data = attach ? attachmentData(*attach) : QByteArray();
    if (data.isEmpty())
        return;
    QString path = choose(m_host, this, ui::ChooseMode::Save,
                          m_host.appTitle + QStringLiteral(" Indique carpeta y nombre de fichero a guardar"),
                          currentCall().replace(QLatin1Char('/'), QLatin1Char('_')) + QStringLiteral(".jpg"),
                          QStringLiteral("JPG (*.jpg *.JPG)"), QStringLiteral("attachImage"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".JPG");
    if (QFileInfo::exists(path) && !ui::messages().yesNo(QStringLiteral("Fichero ya existe\r\nDesea sobreescribirlo")))
        return;
    // the stored JPEG as it is: no second compression
    bool written = false;
    ui::messages().wait(QStringLiteral("Grabando ") + QFileInfo(path).fileName() + QStringLiteral(" en disco"), QString(), [&] {
        QSaveFile f(path);
        written = f.open(QIODevice::WriteOnly) && f.write(data) == data.size() && f.commit();
    });
    if (!written)
        ui::messages().stop(path + QStringLiteral("\r\nNo pudo grabarse el fichero"));
}

void ImagePage::openViewer()
{
    A* attach = attachArea();
    const QByteArray data = attach ? attachmentData(*attach) : QByteArray();
    if (data.isEmpty())
        return;
    m_viewerFile = writeTemp(m_temp, QStringLiteral("tmp.jpg"), data);
    if (m_viewerFile.isEmpty()) {
        ui::messages().stop(QStringLiteral("No pudo escribirse la imagen para el visor"));
        return;
    }
    if (m_host.openFile)
        m_host.openFile(m_viewerFile);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_viewerFile));
}

// ---------------------------------------------------------------- page 5

SoundPage::SoundPage(LogWindow* window, const AttachmentPagesHost& host, QWidget* parent)
    : AttachmentPage(window, host, kSoundAttachment, {"DSPATTSND", "sounds", "Nueva grabación", "Borrar grabación"}, parent)
{
    m_panel->addButton(QStringLiteral("play"), QStringLiteral("Reproducir"), QStringLiteral("Reproducir"),
                       {QStringLiteral("media-playback-start")}, [this] { play(); });
    m_panel->addButton(QStringLiteral("stop"), QStringLiteral("Detener"), QStringLiteral("Detener"),
                       {QStringLiteral("media-playback-stop")}, [this] { stop(); });
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_panel);
}

SoundPage::~SoundPage() { stop(); }

void SoundPage::add()
{
    if (m_key.trimmed().isEmpty())
        return;
    SoundAttachDialog dialog(m_host, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString why;
    if (!addSoundAttachment(m_key, dialog.description(), dialog.sound(), &why)) {
        ui::messages().stop(why);
        return;
    }
    added();
}

void SoundPage::remove()
{
    removeCurrent(QStringLiteral("Se va a eliminar la grabación de sonido \r\nEsta seguro"));
}

void SoundPage::play()
{
    A* attach = attachArea();
    const QByteArray data = attach ? attachmentData(*attach) : QByteArray();
    if (data.isEmpty())
        return;
    stop();
    m_playedFile = writeTemp(m_temp, QStringLiteral("tmpsnd.wav"), data);
    if (m_playedFile.isEmpty()) {
        ui::messages().stop(QStringLiteral("No pudo escribirse el sonido para reproducirlo"));
        return;
    }
    if (m_host.play) {
        m_host.play(m_playedFile);
        return;
    }
    if (!m_player) {
        m_player = new QMediaPlayer(this);
        m_player->setAudioOutput(new QAudioOutput(m_player));
    }
    m_player->setSource(QUrl::fromLocalFile(m_playedFile));
    m_player->play();
}

void SoundPage::stop()
{
    if (m_host.stopPlaying)
        m_host.stopPlaying();
    if (m_player)
        m_player->stop();
}

} // namespace logbook
