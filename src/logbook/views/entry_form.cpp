#include "entry_form.h"

#include "logbook/award_refs.h"
#include "logbook/partial_calls.h"
#include "logbook/qso_entry.h"
#include "logbook/recordings.h"
#include "logbook/views/microphone.h"

#include "core/messages.h"
#include "refdata/names.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <vector>

namespace logbook {

namespace {

using store::Value;
namespace alias = store::alias;

struct Choice {
    QStringList values, shown;
};

// The codes of a reference table with the names they are shown by.
Choice tableChoice(const QString& aliasName, const char* valueField, const char* shownField, bool blankFirst)
{
    Choice c;
    if (blankFirst) {
        c.values << QString();
        c.shown << QString();
    }
    for (const ui::CodeName& code : ui::tableCodes(aliasName, valueField, shownField)) {
        c.values << code.code.trimmed();
        c.shown << code.name;
    }
    return c;
}

Choice fixedChoice(std::initializer_list<const char*> values, std::initializer_list<const char*> shown)
{
    Choice c;
    for (const char* v : values)
        c.values << QString::fromUtf8(v);
    for (const char* s : shown)
        c.shown << QString::fromUtf8(s);
    return c;
}

QDate fieldDate(QsoEntry& e, const char* f) { return e.buffer().get(QString::fromLatin1(f)).toDate(); }

} // namespace

// Every control bound to a field: how it is loaded from the QSO.
struct EntryForm::Controls {
    std::vector<std::function<void()>> loaders;
    bool loading = false;
    QLineEdit* call = nullptr;
    QLineEdit* freq = nullptr;
    QComboBox* mode = nullptr;
    QComboBox* entity = nullptr;
    QCheckBox* unlockEntity = nullptr;
    QLabel* provinceName = nullptr;
    QLabel* subName = nullptr;
    QComboBox* propagation = nullptr;
    QComboBox* satellite = nullptr;
    QPushButton* now = nullptr;
    QCheckBox* realTime = nullptr;
    QCheckBox* noQsl = nullptr;
    QWidget* qslControls = nullptr;
    QListWidget* partial = nullptr;
    QPushButton* record = nullptr;
    QPushButton* stopRecord = nullptr;
    ui::GridPanel* refs = nullptr;
};

EntryForm::EntryForm(EntryFormHost host, QWidget* parent)
    : QDialog(parent), m_host(std::move(host)), m_c(std::make_unique<Controls>())
{
    setObjectName(QStringLiteral("EDTLOG"));
    setWindowTitle(QStringLiteral("Editar contacto"));
    setModal(false);
}

EntryForm::~EntryForm()
{
    // The fields react to losing the focus (the call's look-up): a form closed
    // with the focus in a field must not run that on a QSO already gone.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    hide();
}

void EntryForm::build()
{
    QsoEntry& e = *m_entry;
    Controls& c = *m_c;
    auto guarded = [this](auto fn) {
        return [this, fn](auto&&... args) {
            if (!m_c->loading)
                fn(args...);
        };
    };
    // a line edit of a text field; upper case when asked
    auto line = [&](QWidget* parent, const char* id, const char* field, const QString& tip, bool upper = false,
                    const QString& picture = QString(), int chars = 0) {
        auto* ed = new QLineEdit(parent);
        ed->setObjectName(QString::fromLatin1(id));
        ed->setToolTip(tip);
        if (!picture.isEmpty()) {
            ed->setValidator(new ui::PictureValidator(picture, ed));
            ed->setMaxLength(int(picture.size()));
        } else if (const int len = m_entry->area()->field(m_entry->area()->fieldPos(QString::fromLatin1(field))).len; len > 0) {
            ed->setMaxLength(len);
        }
        if (upper)
            ui::keepUpperCase(ed);
        if (chars)
            ui::fitChars(ed, chars);
        c.loaders.push_back([this, ed, field] { ed->setText(m_entry->text(field)); });
        connect(ed, &QLineEdit::textEdited, this, guarded([this, field](const QString& t) { m_entry->setText(field, t); }));
        return ed;
    };
    auto combo = [&](QWidget* parent, const char* id, const char* field, const Choice& choice, const QString& tip) {
        auto* box = new QComboBox(parent);
        box->setObjectName(QString::fromLatin1(id));
        box->setToolTip(tip);
        for (int i = 0; i < choice.values.size(); ++i)
            box->addItem(i < choice.shown.size() ? choice.shown[i] : choice.values[i], choice.values[i]);
        c.loaders.push_back([this, box, field] {
            const QString v = m_entry->text(field);
            int at = box->findData(v);
            if (at < 0 && !v.isEmpty()) {
                box->addItem(v, v);   // a code the list lacks is shown as it is
                at = box->count() - 1;
            }
            box->setCurrentIndex(std::max(at, 0));
        });
        connect(box, &QComboBox::currentIndexChanged, this,
                guarded([this, box, field](int) { m_entry->setText(field, box->currentData().toString()); }));
        return box;
    };
    auto check = [&](QWidget* parent, const char* id, const char* field, const QString& text, const QString& tip) {
        auto* box = new QCheckBox(text, parent);
        box->setObjectName(QString::fromLatin1(id));
        box->setToolTip(tip);
        c.loaders.push_back([this, box, field] { box->setChecked(m_entry->buffer().get(QString::fromLatin1(field)).toBool()); });
        connect(box, &QCheckBox::toggled, this,
                guarded([this, field](bool on) { m_entry->buffer().set(QString::fromLatin1(field), Value::logical(on)); }));
        return box;
    };
    auto dateLine = [&](QWidget* parent, const char* id, const char* field, const QString& tip) {
        QLineEdit* ed = ui::dateEdit(parent, QString::fromLatin1(id));
        ed->setToolTip(tip);
        c.loaders.push_back([this, ed, field] {
            const QDate d = fieldDate(*m_entry, field);
            ed->setText(d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : QString());
        });
        connect(ed, &QLineEdit::editingFinished, this, guarded([this, ed, field] {
                    m_entry->buffer().set(QString::fromLatin1(field), Value::date(ui::dialogDate(ed->text())));
                }));
        return ed;
    };
    auto memo = [&](QWidget* parent, const char* field) {
        auto* ed = new QPlainTextEdit(parent);
        ed->setObjectName(QStringLiteral("600"));
        c.loaders.push_back([this, ed, field] {
            ed->setPlainText(m_entry->buffer().get(QString::fromLatin1(field)).toString());
        });
        connect(ed, &QPlainTextEdit::textChanged, this, guarded([this, ed, field] {
                    m_entry->buffer().set(QString::fromLatin1(field), Value::text(ed->toPlainText()));
                }));
        return ed;
    };
    auto later = [](QPushButton* b) {
        // these come with the call books, the cluster and the maps
        b->setEnabled(false);
        return b;
    };

    auto* lay = new QVBoxLayout(this);
    // ---- outside the pages
    auto* top = new QHBoxLayout;
    lay->addLayout(top);
    auto* opForm = new QFormLayout;
    top->addLayout(opForm);
    opForm->addRow(QStringLiteral("Operador"), line(this, "600", "OPERATOR", QStringLiteral("Indicativo del operador actual"), true,
                                                    QString(), 12));
    opForm->addRow(QStringLiteral("Locator"), line(this, "601", "QRA", QStringLiteral("QRA locator nuestro"), true,
                                                   QStringLiteral("AA99AA"), 8));
    auto* options = new QVBoxLayout;
    top->addLayout(options);
    c.realTime = new QCheckBox(QStringLiteral("Tiempo Real"), this);
    c.realTime->setObjectName(QStringLiteral("602"));
    c.realTime->setToolTip(QStringLiteral("Registrar los contactos en tiempo real"));
    connect(c.realTime, &QCheckBox::toggled, this, [this](bool on) { m_entry->settings().realTime = on; });
    options->addWidget(c.realTime);
    auto* dxccInfo = new QCheckBox(QStringLiteral("DxccInfo"), this);
    dxccInfo->setObjectName(QStringLiteral("603"));
    dxccInfo->setToolTip(QStringLiteral("Ver pantalla informativa del DXCC"));
    dxccInfo->setEnabled(false);   // the entity panel comes with the award views
    options->addWidget(dxccInfo);
    auto* audio = new QGroupBox(QStringLiteral("Audio"), this);
    auto* audioRow = new QHBoxLayout(audio);
    auto* rec = new QPushButton(QStringLiteral("●"), audio);
    rec->setObjectName(QStringLiteral("700"));
    rec->setToolTip(QStringLiteral("Grabar sondio"));
    auto* stop = new QPushButton(QStringLiteral("■"), audio);
    stop->setObjectName(QStringLiteral("701"));
    stop->setToolTip(QStringLiteral("Detener grabación"));
    stop->setEnabled(false);
    c.record = rec;
    c.stopRecord = stop;
    connect(rec, &QPushButton::clicked, this, &EntryForm::startRecording);
    connect(stop, &QPushButton::clicked, this, &EntryForm::stopRecording);
    audioRow->addWidget(rec);
    audioRow->addWidget(stop);
    top->addWidget(audio);
    top->addStretch(1);

    m_pages = new QTabWidget(this);
    lay->addWidget(m_pages, 1);

    // ---- page 1
    auto* p1 = new QWidget;
    auto* g = new QGridLayout(p1);
    int row = 0;
    auto label = [&](const QString& text, int r, int col) { g->addWidget(new QLabel(text, p1), r, col); };
    label(QStringLiteral("Fecha QSO:"), row, 0);
    auto* date = new QDateEdit(p1);
    date->setObjectName(QStringLiteral("601"));
    date->setToolTip(QStringLiteral("Fecha del contacto"));
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    c.loaders.push_back([this, date] {
        const QDate d = fieldDate(*m_entry, "QSODATE");
        date->setDate(d.isValid() ? d : QDate::currentDate());
    });
    connect(date, &QDateEdit::dateChanged, this, guarded([this](const QDate& d) { m_entry->buffer().set(QStringLiteral("QSODATE"), Value::date(d)); }));
    auto* when = new QHBoxLayout;
    when->addWidget(date);
    when->addWidget(line(p1, "602", "TIMEON", QStringLiteral("Hora incio contacto"), false, QStringLiteral("99:99"), 6));
    c.now = new QPushButton(QStringLiteral("*"), p1);
    c.now->setObjectName(QStringLiteral("500"));
    c.now->setToolTip(QStringLiteral("Hora inicio = ahora"));
    c.now->setAutoDefault(false);
    c.now->setFixedWidth(c.now->fontMetrics().horizontalAdvance(QStringLiteral("**")) + 20);
    connect(c.now, &QPushButton::clicked, this, [this] {
        m_entry->setText("TIMEON", timeText(QDateTime::currentDateTimeUtc().time()));
        refresh();
    });
    when->addWidget(c.now);
    when->addStretch(1);
    g->addLayout(when, row, 1);
    label(QStringLiteral("Freq"), row, 2);
    c.freq = new QLineEdit(p1);
    c.freq->setObjectName(QStringLiteral("620"));
    c.freq->setToolTip(QStringLiteral("Frecuencia"));
    c.freq->setValidator(new ui::PictureValidator(QStringLiteral("9999.999"), c.freq));
    ui::fitChars(c.freq, 10);
    c.loaders.push_back([this] {
        const double mhz = m_entry->buffer().get(QStringLiteral("FREQ")).toNumber();
        m_c->freq->setText(mhz > 0 ? QString::number(mhz, 'f', 3) : QString());
    });
    connect(c.freq, &QLineEdit::editingFinished, this, guarded([this] {
                m_entry->buffer().set(QStringLiteral("FREQ"), Value::number(m_c->freq->text().trimmed().toDouble()));
                m_entry->frequencyLeft();
                refresh();
            }));
    g->addWidget(c.freq, row, 3);
    ++row;
    label(QStringLiteral("Banda:"), row, 0);
    g->addWidget(combo(p1, "603", "BAND", tableChoice(alias::kBand, "CODBAN", "BANDA", true), QStringLiteral("Banda")), row, 1);
    label(QStringLiteral("Modo:"), row, 2);
    c.mode = combo(p1, "604", "MODE", tableChoice(alias::kModo, "CODMOD", "MODO", true), QString());
    connect(c.mode, &QComboBox::currentIndexChanged, this, guarded([this](int) {
                m_entry->modeChanged();
                refresh();
            }));
    g->addWidget(c.mode, row, 3);
    ++row;
    label(QStringLiteral("Indicativo:"), row, 0);
    c.call = line(p1, "605", "CALL", QStringLiteral("Indicativo del corresponsal"), true, QString(), 14);
    QFont big = c.call->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    c.call->setFont(big);
    connect(c.call, &QLineEdit::textEdited, this, guarded([this](const QString& t) {
                m_entry->callTyped(t);
                showPartialCalls(t);
                const bool was = m_c->loading;
                m_c->loading = true;
                for (auto& load : m_c->loaders)
                    load();
                m_c->loading = was;
                if (m_host.qsoShown)
                    m_host.qsoShown();
            }));
    connect(c.call, &QLineEdit::editingFinished, this, guarded([this] {
                const QString note = m_entry->callLeft();
                if (m_host.showStatus)
                    m_host.showStatus(note);
                const QString call = m_entry->text("CALL");
                if (m_host.callTyped && m_entry->isNew() && !m_entry->fromSpot() && !call.isEmpty() && call != m_lookedUp) {
                    m_lookedUp = call;
                    m_host.callTyped(*this);
                }
                refresh();
            }));
    g->addWidget(c.call, row, 1);
    auto* rst = new QHBoxLayout;
    rst->addWidget(new QLabel(QStringLiteral("RST tx:"), p1));
    rst->addWidget(line(p1, "607", "RSTSENT", QStringLiteral("Reporte enviado"), false, QString(), 5));
    rst->addWidget(new QLabel(QStringLiteral("RSTrx"), p1));
    rst->addWidget(line(p1, "606", "RSTRCVD", QStringLiteral("Reporte recibido"), false, QString(), 5));
    rst->addStretch(1);
    g->addLayout(rst, row, 2, 1, 2);
    ++row;
    label(QStringLiteral("QSL via"), row, 0);
    g->addWidget(line(p1, "616", "QSLVIA", QStringLiteral("QSL via"), true), row, 1);
    label(QStringLiteral("Locator"), row, 2);
    QLineEdit* grid = line(p1, "608", "GRIDSQUARE", QStringLiteral("Locator corresponsal"), true, QStringLiteral("AA99AA"), 8);
    connect(grid, &QLineEdit::editingFinished, this, guarded([this] { refresh(); }));
    g->addWidget(grid, row, 3);
    ++row;
    label(QStringLiteral("Nombre:"), row, 0);
    QLineEdit* name = line(p1, "609", "NAME", QStringLiteral("Nombre"));
    connect(name, &QLineEdit::textEdited, this, [name](const QString& t) {
        // the first letter in upper case
        if (!t.isEmpty() && t.at(0).isLower()) {
            const int pos = name->cursorPosition();
            name->setText(t.at(0).toUpper() + t.mid(1));
            name->setCursorPosition(pos);
        }
    });
    g->addWidget(name, row, 1);
    label(QStringLiteral("QTH:"), row, 2);
    g->addWidget(line(p1, "611", "QTH", QStringLiteral("QTH")), row, 3);
    ++row;
    label(QStringLiteral("IOTA"), row, 0);
    g->addWidget(combo(p1, "612", "IOTA", tableChoice(alias::kIota, "IOTA", "NOMBRE2", true), QStringLiteral("Referencia IOTA")), row, 1);
    g->addWidget(check(p1, "618", "LP", QStringLiteral("LP"), QStringLiteral("Paso largo")), row, 2);
    ++row;
    auto* entityRow = new QHBoxLayout;
    c.unlockEntity = new QCheckBox(p1);
    c.unlockEntity->setObjectName(QStringLiteral("614"));
    entityRow->addWidget(c.unlockEntity);
    Choice entities = tableChoice(alias::kEnt, "CODENT", "NOMBRE", true);
    for (QString& v : entities.values)
        v = v.isEmpty() ? v : v.rightJustified(3);
    c.entity = new QComboBox(p1);
    c.entity->setObjectName(QStringLiteral("613"));
    c.entity->setToolTip(QStringLiteral("Nombre de la entidad"));
    for (int i = 0; i < entities.values.size(); ++i)
        c.entity->addItem(entities.shown[i], entities.values[i]);
    c.entity->setEnabled(false);
    c.loaders.push_back([this] {
        const QString code = m_entry->buffer().get(QStringLiteral("CODENT")).toString();
        m_c->entity->setCurrentIndex(std::max(m_c->entity->findData(code), 0));
    });
    connect(c.unlockEntity, &QCheckBox::toggled, c.entity, &QWidget::setEnabled);
    connect(c.entity, &QComboBox::currentIndexChanged, this, guarded([this](int) {
                m_entry->entityChosen(m_c->entity->currentData().toString());
                refresh();
            }));
    entityRow->addWidget(c.entity, 1);
    g->addLayout(entityRow, row, 1, 1, 3);
    ++row;
    label(QStringLiteral("Prov.:"), row, 0);
    auto* prov = new QHBoxLayout;
    QLineEdit* province = line(p1, "615", "CODPRV", QStringLiteral("Código Provincia / estado "), true, QStringLiteral("!!!!"), 6);
    prov->addWidget(province);
    auto* pickProv = new QPushButton(QStringLiteral("..."), p1);
    pickProv->setObjectName(QStringLiteral("615b"));
    pickProv->setAutoDefault(false);
    pickProv->setEnabled(bool(m_host.pickProvince));
    connect(pickProv, &QPushButton::clicked, this, [this] {
        const QString chosen = m_host.pickProvince(m_entry->buffer().get(QStringLiteral("CODENT")).toString(), m_entry->text("CODPRV"));
        m_entry->setText("CODPRV", chosen);
        refresh();
    });
    prov->addWidget(pickProv);
    c.provinceName = new QLabel(p1);
    c.provinceName->setObjectName(QStringLiteral("701"));
    prov->addWidget(c.provinceName, 1);
    g->addLayout(prov, row, 1, 1, 3);
    ++row;
    label(QStringLiteral("Sub.Prv:"), row, 0);
    auto* sub = new QHBoxLayout;
    sub->addWidget(line(p1, "619", "CNTY", QStringLiteral("Sub división provincial. DME para EA"), true, QString(), 12));
    auto* pickSub = new QPushButton(QStringLiteral("..."), p1);
    pickSub->setObjectName(QStringLiteral("619b"));
    pickSub->setAutoDefault(false);
    pickSub->setEnabled(bool(m_host.pickSubdivision));
    connect(pickSub, &QPushButton::clicked, this, [this] {
        const QString chosen = m_host.pickSubdivision(m_entry->buffer().get(QStringLiteral("CODENT")).toString(),
                                                      m_entry->text("CODPRV"), m_entry->text("CNTY"));
        m_entry->setText("CNTY", chosen);
        // a province left empty comes with the sub-division picked
        if (store::WorkArea* s = store::Workspace::instance().area(alias::kSubPrv); s && !s->eof())
            m_entry->subdivisionPicked(s->str(QStringLiteral("CODPRV")).trimmed());
        refresh();
    });
    sub->addWidget(pickSub);
    c.subName = new QLabel(p1);
    c.subName->setObjectName(QStringLiteral("702"));
    sub->addWidget(c.subName, 1);
    g->addLayout(sub, row, 1, 1, 3);
    c.loaders.push_back([this] {
        const QString ent = m_entry->buffer().get(QStringLiteral("CODENT")).toString();
        const QString prv = m_entry->buffer().get(QStringLiteral("CODPRV")).toString();
        m_c->provinceName->setText(refdata::NOMPRV(ent, prv).trimmed());
        m_c->subName->setText(refdata::NOMSUBPRV(ent, prv, m_entry->buffer().get(QStringLiteral("CNTY")).toString()).trimmed());
    });
    ++row;
    label(QStringLiteral("Propagación"), row, 0);
    c.propagation = combo(p1, "617", "PROPMODE", tableChoice(alias::kPropa, "CODPRO", "PROPA", true),
                          QStringLiteral("Tipo de propagación"));
    g->addWidget(c.propagation, row, 1);
    c.satellite = combo(p1, "621", "SATNAME",
                        fixedChoice({"", "AO-7", "AO-27", "AO-73", "AO-91", "FO-29", "IO-86", "ISS", "PO-101", "QO-100", "RS-44", "SO-50"},
                                    {"", "AO-7", "AO-27", "AO-73", "AO-91", "FO-29", "IO-86", "ISS", "PO-101", "QO-100", "RS-44", "SO-50"}),
                        QStringLiteral("Nombre del satélite"));
    c.loaders.push_back([this] { m_c->satellite->setEnabled(m_entry->text("PROPMODE").startsWith(QLatin1String("SAT"))); });
    connect(c.propagation, &QComboBox::currentIndexChanged, this,
            [this](int) { m_c->satellite->setEnabled(m_entry->text("PROPMODE").startsWith(QLatin1String("SAT"))); });
    g->addWidget(c.satellite, row, 2, 1, 2);
    ++row;
    label(QStringLiteral("Comentario:"), row, 0);
    g->addWidget(line(p1, "610", "COMMENT", QStringLiteral("Comentarios")), row, 1, 1, 3);
    ++row;
    auto* services = new QHBoxLayout;
    const struct {
        const char* id;
        const char* text;
        const char* tip;
    } web[] = {{"4001", "QRZ.com", "Ver información del indicativo en QRZ.com"},
               {"4002", "QRZ →", "Rellenar con los datos de QRZ.com"},
               {"4006", "HamQTH", "Ver información del indicativo en HamQTH"},
               {"4007", "HamQTH →", "Rellenar con los datos de HamQTH"},
               {"4004", "Send Spot", "Enviar anuncio al DX cluster"},
               {"4005", "gMap", "Visualizar Google Map"}};
    for (const auto& w : web) {
        auto* b = later(new QPushButton(QString::fromUtf8(w.text), p1));
        b->setObjectName(QString::fromLatin1(w.id));
        b->setToolTip(QString::fromUtf8(w.tip));
        b->setAutoDefault(false);
        services->addWidget(b);
    }
    services->addStretch(1);
    g->addLayout(services, row, 0, 1, 4);
    if (m_host.service) {
        for (const char* id : {"4001", "4002", "4006", "4007", "4005"}) {
            auto* b = p1->findChild<QPushButton*>(QString::fromLatin1(id));
            b->setEnabled(true);
            connect(b, &QPushButton::clicked, this, [this, id] { m_host.service(*this, QString::fromLatin1(id)); });
        }
    }
    // the spot goes to the live cluster connection, when there is one
    if (auto* spot = p1->findChild<QPushButton*>(QStringLiteral("4004")); spot && m_host.sendSpot) {
        connect(spot, &QPushButton::clicked, this, [this] {
            if (m_host.spotPossible && m_host.spotPossible())
                m_host.sendSpot(&m_entry->buffer());
        });
        auto* watch = new QTimer(spot);
        connect(watch, &QTimer::timeout, spot, [this, spot] {
            spot->setEnabled(isVisible() && m_host.spotPossible && m_host.spotPossible());
        });
        watch->start(1000);
    }
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    // beside the fields: the known calls that contain what is typed (Up and Down pick one)
    c.partial = new QListWidget(p1);
    c.partial->setObjectName(QStringLiteral("partial"));
    c.partial->setToolTip(QStringLiteral("Indicativos conocidos que contienen lo escrito (flechas arriba y abajo para elegir)"));
    c.partial->setFocusPolicy(Qt::NoFocus);
    c.partial->setFixedWidth(c.partial->fontMetrics().horizontalAdvance(QStringLiteral("WWWW/WW9WWW")) + 24);
    connect(c.partial, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_c->call->setText(item->text());
        emit m_c->call->textEdited(item->text());
        m_c->call->setFocus();
    });
    g->addWidget(c.partial, 0, 4, row + 1, 1);
    c.call->installEventFilter(this);
    m_pages->addTab(p1, QStringLiteral("&1-Principal"));

    // ---- page 2: QSL
    auto* p2 = new QWidget;
    auto* p2lay = new QVBoxLayout(p2);
    c.noQsl = check(p2, "600", "NOQSL", QStringLiteral("No quiere intercambio QSL"), QStringLiteral("No quiere intercambio de QSL"));
    p2lay->addWidget(c.noQsl);
    c.qslControls = new QWidget(p2);
    auto* q = new QGridLayout(c.qslControls);
    q->setContentsMargins(0, 0, 0, 0);
    const Choice yesNo = fixedChoice({"", "Y", "N"}, {"", "Si", "No"});
    // a confirmation state with its date, on one row of a group
    auto stateRow = [&](QGridLayout* grid, int r, QWidget* parent, const char* label, const char* id, const char* field,
                        const Choice& choice, const QString& tip, const char* dateId, const char* dateField, const QString& dateTip) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), parent), r, 0);
        grid->addWidget(combo(parent, id, field, choice, tip), r, 1);
        grid->addWidget(dateLine(parent, dateId, dateField, dateTip), r, 2);
    };
    auto* paper = new QGroupBox(QStringLiteral("QSL"), c.qslControls);
    auto* pg = new QGridLayout(paper);
    stateRow(pg, 0, paper, "Recibida", "601", "QSLRCVD", yesNo, QStringLiteral("Qsl recibida?"), "602", "QSLRDATE",
             QStringLiteral("Fecha recepción QSL"));
    stateRow(pg, 1, paper, "Enviada", "603", "QSLSENT",
             fixedChoice({"", "Y", "N", "Q", "R", "I"}, {"", "Si", "No", "Cola Imp.", "Sol", "Ignorar"}), QStringLiteral("QSL enviada?"),
             "604", "QSLSDATE", QStringLiteral("Fecha de envio QSL"));
    pg->addWidget(new QLabel(QStringLiteral("Modo"), paper), 2, 0);
    pg->addWidget(combo(paper, "605", "QSLMODE",
                        fixedChoice({"", "B", "D", "E", "M", "O"}, {"", "Buro", "Directa", "Electrónica", "Manager", "oQRS"}),
                        QStringLiteral("Modo de envio de la QSL")),
                  2, 1);
    pg->addWidget(new QLabel(QStringLiteral("NºEnvios"), paper), 3, 0);
    auto* sends = new QLineEdit(paper);
    sends->setObjectName(QStringLiteral("606"));
    sends->setToolTip(QStringLiteral("Número de envios realizados"));
    sends->setValidator(new ui::PictureValidator(QStringLiteral("9"), sends));
    ui::fitChars(sends, 3);
    c.loaders.push_back([this, sends] { sends->setText(QString::number(int(m_entry->buffer().get(QStringLiteral("NQSLTX")).toNumber()))); });
    connect(sends, &QLineEdit::textEdited, this, guarded([this](const QString& t) {
                m_entry->buffer().set(QStringLiteral("NQSLTX"), Value::number(t.trimmed().toInt()));
            }));
    pg->addWidget(sends, 3, 1);
    q->addWidget(paper, 0, 0, 2, 1);
    auto* eqsl = new QGroupBox(QStringLiteral("e-Qsl"), c.qslControls);
    auto* eg = new QFormLayout(eqsl);
    eg->addRow(QStringLiteral("Recibida"), combo(eqsl, "607", "EQSLRCVD", yesNo, QStringLiteral("eQsl recibida ?")));
    eg->addRow(QStringLiteral("Enviada"), combo(eqsl, "608", "EQSLSENT", yesNo, QStringLiteral("eQsl enviada ?")));
    q->addWidget(eqsl, 0, 1);
    auto* lotw = new QGroupBox(QStringLiteral("LOTW"), c.qslControls);
    auto* lg = new QGridLayout(lotw);
    stateRow(lg, 0, lotw, "Recibida", "609", "LOTWRCVD",
             fixedChoice({"", "Y", "N", "R", "I", "V"}, {"", "Si", "No", "Solicitada", "Invalida", "Valildada"}),
             QStringLiteral("LOTW recibida ?"), "611", "LOTWRDATE", QStringLiteral("Fecha recepción QSL via LOTW"));
    stateRow(lg, 1, lotw, "Enviada", "610", "LOTWSENT",
             fixedChoice({"", "Y", "N", "R", "Q", "I"}, {"", "Si", "No", "Solicitada", "En cola", "Invalida"}),
             QStringLiteral("LOTW enviada ?"), "612", "LOTWSDATE", QStringLiteral("Fehca envio QSL via LOTW"));
    q->addWidget(lotw, 1, 1);
    p2lay->addWidget(c.qslControls);
    p2lay->addStretch(1);
    c.loaders.push_back([this] { m_c->qslControls->setEnabled(!m_c->noQsl->isChecked()); });
    connect(c.noQsl, &QCheckBox::toggled, this, [this](bool on) { m_c->qslControls->setEnabled(!on); });
    m_pages->addTab(p2, QStringLiteral("&2-QSL"));

    // ---- pages 3 and 4: notes and address
    auto* p3 = new QWidget;
    (new QVBoxLayout(p3))->addWidget(memo(p3, "NOTES"));
    m_pages->addTab(p3, QStringLiteral("&3-Notas"));
    auto* p4 = new QWidget;
    auto* p4lay = new QVBoxLayout(p4);
    p4lay->addWidget(memo(p4, "ADDRES"));
    auto* fetch = later(new QPushButton(QStringLiteral("Recuperar de QRZ.com"), p4));
    fetch->setObjectName(QStringLiteral("3"));
    fetch->setAutoDefault(false);
    if (m_host.service) {
        fetch->setEnabled(true);
        connect(fetch, &QPushButton::clicked, this, [this] { m_host.service(*this, QStringLiteral("3")); });
    }
    p4lay->addWidget(fetch, 0, Qt::AlignLeft);
    m_pages->addTab(p4, QStringLiteral("&4-Dirección"));

    // ---- page 5: award references
    auto* p5 = new QWidget;
    auto* p5lay = new QVBoxLayout(p5);
    if (store::WorkArea* dplLog = store::Workspace::instance().area(alias::kDplLog)) {
        m_refs = std::make_unique<QsoAwardRefs>(dplLog);
        c.refs = new ui::GridPanel(dplLog, p5);
        c.refs->setObjectName(QStringLiteral("700"));
        c.refs->bar()->hide();
        ui::tQ7Browse* grid = c.refs->browse();
        grid->addColumn({.header = QStringLiteral("Diploma"), .text = [](store::WorkArea& a) { return a.str(QStringLiteral("DPL")).trimmed(); }});
        grid->addColumn({.header = QStringLiteral("Referencia"),
                         .text = [](store::WorkArea& a) { return a.str(QStringLiteral("COD")).trimmed(); }});
        grid->addColumn({.header = QStringLiteral("Descripción"), .text = [](store::WorkArea& a) {
                             return awardReferenceName(a.str(QStringLiteral("DPL")), a.str(QStringLiteral("COD")));
                         }, .width = grid->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('n')))});
        c.refs->onEdit([this] { editAwardReference(); });
        auto addRef = [this] {
            if (m_refs->add(m_entry->text("KEY")))
                m_c->refs->showCurrent();
        };
        auto removeRef = [this] {
            if (m_refs->removeCurrent())
                m_c->refs->showCurrent();
        };
        c.refs->onCreate(addRef);
        c.refs->onDelete(removeRef);
        p5lay->addWidget(c.refs, 1);
        auto* row5 = new QHBoxLayout;
        auto* add = new QPushButton(QStringLiteral("&Añadir"), p5);
        add->setObjectName(QStringLiteral("4001"));
        add->setAutoDefault(false);
        connect(add, &QPushButton::clicked, this, addRef);
        auto* del = new QPushButton(QStringLiteral("&Eliminar"), p5);
        del->setObjectName(QStringLiteral("4002"));
        del->setAutoDefault(false);
        connect(del, &QPushButton::clicked, this, removeRef);
        row5->addWidget(add);
        row5->addWidget(del);
        row5->addStretch(1);
        p5lay->addLayout(row5);
    }
    m_pages->addTab(p5, QStringLiteral("&5-Diplomas"));
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 4)
            showAwardReferences();
    });

    // ---- page 6
    auto* p6 = new QWidget;
    auto* f6 = new QFormLayout(p6);
    f6->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f6->addRow(QStringLiteral("CQZ :"), line(p6, "601", "CQZ", QString(), false, QStringLiteral("99"), 4));
    f6->addRow(QStringLiteral("ITUZ :"), line(p6, "602", "ITUZ", QString(), false, QStringLiteral("99"), 4));
    f6->addRow(QStringLiteral("Jcc :"), line(p6, "607", "JCC", QString(), true, QString(), 12));
    f6->addRow(QStringLiteral("Jcg:"), line(p6, "608", "JCG", QString(), true, QString(), 12));
    f6->addRow(QStringLiteral("County :"), line(p6, "609", "CNTY", QString(), true, QString(), 16));
    f6->addRow(QStringLiteral("Contest :"), line(p6, "603", "CONTESTID", QString(), true, QString(), 16));
    for (auto [id, label6, field] : {std::tuple{"613", "PFX :", "PFX"}, std::tuple{"610", "Ent :", "CODENT"},
                                     std::tuple{"611", "Dxcc", "DXCC"}, std::tuple{"612", "Key :", "KEY"}}) {
        QLineEdit* ro = line(p6, id, field, QString(), false, QString(), 9);
        ro->setReadOnly(true);
        f6->addRow(QString::fromLatin1(label6), ro);
    }
    m_pages->addTab(p6, QStringLiteral("&6-Adicionales"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setAutoDefault(false);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &EntryForm::saveAndClose);
    connect(cancel, &QPushButton::clicked, this, &EntryForm::reject);
    lay->addWidget(buttons);
    (void)e;
}

void EntryForm::open(bool isNew, bool fromSpot, const QString& aliasName)
{
    store::WorkArea* area = store::Workspace::instance().area(aliasName);
    if (!area)
        return;
    const bool first = !m_entry;
    m_lookedUp.clear();
    if (!m_entry || m_alias.compare(aliasName, Qt::CaseInsensitive) != 0) {
        const bool realTime = m_host.readSetting ? m_host.readSetting(QStringLiteral("RealTime"), true).toBool() : true;
        m_entry = std::make_unique<QsoEntry>(area, sessionSettings(m_entry ? m_entry->settings().realTime : realTime));
        m_alias = aliasName;
    } else {
        const bool realTime = m_entry->settings().realTime;
        m_entry->settings() = sessionSettings(realTime);
    }
    if (!m_partial || m_partialArea != area) {
        m_partial = std::make_unique<PartialCalls>();
        m_partial->loadList(masterScpPath());
        m_partial->addBook(area);
        m_partialArea = area;
    }
    // references added for the QSO shown before: an unsaved new one's go
    if (m_refs && m_entry && m_entry->isNew())
        m_refs->dropAdded();
    else if (m_refs)
        m_refs->forgetAdded();
    if (isNew) {
        if (m_recording)
            stopRecording();
        erasePendingRecordings(store::Workspace::instance().programDir());
        m_entry->prepareNew(fromSpot);
    }
    else
        m_entry->prepareEdit();
    if (first && m_c->loaders.empty()) {
        build();
        if (m_host.readSetting) {
            int top = m_host.readSetting(QStringLiteral("Top"), 100).toInt();
            int left = m_host.readSetting(QStringLiteral("Left"), 100).toInt();
            top = top < 0 || top > 1000 ? 0 : top;
            left = left < 0 || left > 1000 ? 0 : left;
            move(left, top + 92);
        }
    }
    m_c->realTime->setChecked(m_entry->settings().realTime);
    m_c->now->setEnabled(isNew);
    m_c->unlockEntity->setChecked(false);
    refresh();
    m_pages->setCurrentIndex(0);
    showPartialCalls(m_entry->text("CALL"));
    show();
    if (m_host.qsoShown)
        m_host.qsoShown();
    raise();
    activateWindow();
    m_c->call->setFocus();
    if (m_host.shown)
        m_host.shown(*this);
}

void EntryForm::refresh()
{
    m_c->loading = true;
    for (auto& load : m_c->loaders)
        load();
    m_c->loading = false;
    if (m_host.qsoShown && isVisible())
        m_host.qsoShown();
}

void EntryForm::saveAndClose()
{
    if (!isVisible() || !m_entry)
        return;
    // a field still being typed in counts
    if (QWidget* f = focusWidget())
        if (auto* ed = qobject_cast<QLineEdit*>(f))
            emit ed->editingFinished();
    const bool wasNew = m_entry->isNew();
    if (m_recording && !m_entry->text("CALL").isEmpty())
        stopRecording();
    const QsoEntry::Saved r = m_entry->save();
    if (r == QsoEntry::Saved::Written && wasNew)
        attachPendingRecordings(store::Workspace::instance().programDir(), m_entry->text("KEY"));
    if (m_refs) {
        // the references follow the key the QSO was saved under; those of a
        // new QSO that was not written go
        if (r == QsoEntry::Saved::Written)
            m_refs->rekeyAdded(m_entry->text("KEY"));
        else if (wasNew)
            m_refs->dropAdded();
        m_refs->forgetAdded();
    }
    if (r == QsoEntry::Saved::Refused)
        return;   // the user was told; the form stays with what was typed
    if (store::WorkArea* log2 = store::Workspace::instance().area(alias::kLog2))
        log2->goTop();
    if (r == QsoEntry::Saved::Written) {
        m_partial->add(m_entry->text("CALL"));
        if (m_host.qsoSaved)
            m_host.qsoSaved();
    }
    if (wasNew && !m_entry->fromSpot() && m_entry->settings().autoAdd) {
        open(true, false, m_alias);
        return;
    }
    storeSettings();
    hide();
}

void EntryForm::storeSettings()
{
    if (!m_host.writeSetting)
        return;
    m_host.writeSetting(QStringLiteral("Top"), std::max(0, y() - 92));
    m_host.writeSetting(QStringLiteral("Left"), x());
    if (m_entry)
        m_host.writeSetting(QStringLiteral("RealTime"), m_entry->settings().realTime);
    m_host.writeSetting(QStringLiteral("DxccInfo"), false);
}

void EntryForm::startRecording()
{
    if (m_recording)
        return;
    if (!startRecorder(&m_recorder, m_host.makeRecorder))
        return;
    m_recording = true;
    m_c->record->setEnabled(false);
    m_c->stopRecord->setEnabled(true);
}

void EntryForm::stopRecording()
{
    if (!m_recording)
        return;
    const QByteArray samples = m_recorder->stop();
    m_recording = false;
    m_c->record->setEnabled(true);
    m_c->stopRecord->setEnabled(false);
    if (!ui::messages().yesNo(QStringLiteral("Guardar grabación")))
        return;
    const QByteArray wav = wavFile(samples);
    if (m_entry->isNew()) {
        if (savePendingRecording(store::Workspace::instance().programDir(), wav).isEmpty())
            ui::messages().stop(QStringLiteral("No se pudo guardar la grabación"));
    } else if (!attachRecording(m_entry->text("KEY"), wav)) {
        ui::messages().stop(QStringLiteral("No se pudo adjuntar la grabación al QSO"));
    }
}

void EntryForm::showPartialCalls(const QString& typed)
{
    QListWidget* list = m_c->partial;
    list->clear();
    if (m_partial)
        list->addItems(m_partial->matching(typed));
}

bool EntryForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_c->call && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        QListWidget* list = m_c->partial;
        if ((k->key() == Qt::Key_Down || k->key() == Qt::Key_Up) && list->count() > 0) {
            int row = list->currentRow() + (k->key() == Qt::Key_Down ? 1 : -1);
            row = std::clamp(row, 0, list->count() - 1);
            list->setCurrentRow(row);
            // the call taken from the list is handled as if typed, the list kept
            const QString call = list->item(row)->text();
            m_c->call->setText(call);
            m_entry->callTyped(call);
            const bool was = m_c->loading;
            m_c->loading = true;
            for (auto& load : m_c->loaders)
                load();
            m_c->loading = was;
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EntryForm::showAwardReferences()
{
    if (!m_refs)
        return;
    m_refs->show(m_entry->text("KEY"), true);
    m_c->refs->browse()->refresh();
    m_c->refs->browse()->setFocus();
}

void EntryForm::editAwardReference()
{
    store::WorkArea* refs = m_refs ? m_refs->area() : nullptr;
    if (!refs || refs->eof())
        return;
    QDialog d(this);
    d.setObjectName(QStringLiteral("EDTDPLLOG"));
    d.setWindowTitle(QStringLiteral("Referencia de diploma"));
    auto* form = new QFormLayout;
    auto* award = new QComboBox(&d);
    award->setObjectName(QStringLiteral("601"));
    award->addItem(QString());
    award->addItems(awardCodes());
    award->setCurrentText(refs->str(QStringLiteral("DPL")).trimmed());
    form->addRow(QStringLiteral("Diploma"), award);
    auto* ref = new QLineEdit(&d);
    ref->setObjectName(QStringLiteral("602"));
    ref->setMaxLength(10);
    ui::keepUpperCase(ref);
    ui::fitChars(ref, 12);
    ref->setText(refs->str(QStringLiteral("COD")).trimmed());
    auto* refRow = new QHBoxLayout;
    refRow->addWidget(ref);
    auto* pick = new QPushButton(QStringLiteral("..."), &d);
    pick->setObjectName(QStringLiteral("4000"));
    pick->setAutoDefault(false);
    pick->setEnabled(bool(m_host.pickAwardReference));
    connect(pick, &QPushButton::clicked, &d, [this, award, ref] {
        ref->setText(m_host.pickAwardReference(award->currentText(), ref->text()).trimmed());
    });
    refRow->addWidget(pick);
    form->addRow(QStringLiteral("Referencia"), refRow);
    auto* lay = new QVBoxLayout(&d);
    lay->addLayout(form);
    ui::addOkCancel(&d, lay);
    if (d.exec() != QDialog::Accepted)
        return;
    if (award->currentText() != refs->str(QStringLiteral("DPL")).trimmed())
        m_refs->setAward(award->currentText());
    if (ref->text().trimmed() != refs->str(QStringLiteral("COD")).trimmed())
        m_refs->setReference(ref->text());
    m_c->refs->showCurrent();
}

void EntryForm::reject()
{
    if (m_refs && m_entry && m_entry->isNew())
        m_refs->dropAdded();
    else if (m_refs)
        m_refs->forgetAdded();
    storeSettings();
    hide();
}

void EntryForm::closeEvent(QCloseEvent* e)
{
    e->ignore();
    reject();
}

void EntryForm::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F10) {
        saveAndClose();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---------------------------------------------------------------- the form of the run

namespace {
EntryFormHost g_host;
QWidget* g_parent = nullptr;
EntryForm* g_form = nullptr;
}

void setEntryFormHost(EntryFormHost host, QWidget* parent)
{
    g_host = std::move(host);
    g_parent = parent;
}

void EDTLOG(bool isNew, bool fromSpot, const QString& aliasName, bool followOnly)
{
    if (followOnly && (!g_form || !g_form->isVisible()))
        return;
    if (!g_form)
        g_form = new EntryForm(g_host, g_parent);
    g_form->open(isNew, fromSpot, aliasName);
}

bool EDTLOGVIS() { return g_form && g_form->isVisible(); }
EntryForm* entryForm() { return g_form; }
store::RecordBuffer* EDTLOGDBF() { return g_form && g_form->entry() ? &g_form->entry()->buffer() : nullptr; }

void CLSEDTLOG()
{
    delete g_form;
    g_form = nullptr;
}

} // namespace logbook
