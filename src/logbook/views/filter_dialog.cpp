#include "filter_dialog.h"

#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace logbook {

namespace {

void fillFixed(QComboBox* box, std::initializer_list<const char*> values, std::initializer_list<const char*> shown)
{
    auto s = shown.begin();
    for (const char* v : values)
        box->addItem(QString::fromUtf8(*s++), QString::fromUtf8(v));
}

QString comboValue(const QDialog* d, const char* id)
{
    auto* box = d->findChild<QComboBox*>(QString::fromLatin1(id));
    return box ? box->currentData().toString() : QString();
}

QString lineValue(const QDialog* d, const char* id)
{
    auto* e = d->findChild<QLineEdit*>(QString::fromLatin1(id));
    return e ? e->text().trimmed() : QString();
}

struct Named {
    const char* name;
    const char* id;
    bool combo;
};

const Named kControls[] = {
    {"call", "601", false},  {"from", "602", false},    {"to", "613", false},       {"mode", "603", true},
    {"band", "604", true},   {"cont", "617", true},     {"entity", "605", true},    {"iota", "607", true},
    {"grid", "606", false},  {"cqz", "608", false},     {"ituz", "609", false},     {"qslRcvd", "610", true},
    {"qslSent", "611", true}, {"qslVia", "612", false}, {"operator", "614", false}, {"province", "615", false},
    {"qslMode", "616", true},
};

} // namespace

FilterDialog::FilterDialog(const QMap<QString, QString>& criteria, bool advancedAvailable, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LOGFIL"));
    setWindowTitle(QStringLiteral("Filtrar "));
    auto* lay = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    lay->addLayout(g);
    auto line = [this](const char* id, const QString& picture, bool upper, int chars) {
        return ui::lineEdit(this, QString::fromLatin1(id), picture, upper, chars);
    };
    auto combo = [this](const char* id) {
        auto* b = new QComboBox(this);
        b->setObjectName(QString::fromLatin1(id));
        return b;
    };
    int row = 0;
    auto put = [&](const char* label, QWidget* w, int col = 0, int span = 1) {
        g->addWidget(new QLabel(QString::fromUtf8(label), this), row, col * 2);
        g->addWidget(w, row, col * 2 + 1, 1, span);
    };
    put("Inidicativo", line("601", QString(), true, 14));
    ++row;
    QLineEdit* from = ui::dateEdit(this, QStringLiteral("602"));
    QLineEdit* to = ui::dateEdit(this, QStringLiteral("613"));
    auto* dates = new QHBoxLayout;
    dates->addWidget(from);
    dates->addWidget(new QLabel(QStringLiteral("a"), this));
    dates->addWidget(to);
    g->addWidget(new QLabel(QStringLiteral("Fecha"), this), row, 0);
    g->addLayout(dates, row, 1, 1, 3);
    connect(from, &QLineEdit::textChanged, to, [to](const QString& t) { to->setEnabled(!t.trimmed().isEmpty()); });
    ++row;
    QComboBox* mode = combo("603");
    ui::fillCodes(mode, ui::tableCodes(store::alias::kModo, "CODMOD", "MODO"));
    put("Modo", mode);
    QComboBox* band = combo("604");
    ui::fillCodes(band, ui::tableCodes(store::alias::kBand, "CODBAN", "BANDA"));
    put("Banda", band, 1);
    ++row;
    QComboBox* cont = combo("617");
    fillFixed(cont, {"", "AF", "AS", "EU", "NA", "SA", "OC"}, {"", "AF", "AS", "EU", "NA", "SA", "OC"});
    put("Continente", cont);
    QComboBox* entity = combo("605");
    ui::fillCodes(entity, ui::tableCodes(store::alias::kEnt, "CODENT", "NOMBRE", QStringLiteral("Nombre")));
    put("Entidad", entity, 1);
    // a continent chosen leaves the entity list aside
    connect(cont, &QComboBox::currentIndexChanged, this, [cont, entity](int) {
        entity->setEnabled(cont->currentData().toString().isEmpty());
        entity->setFocus();
    });
    ++row;
    QComboBox* iota = combo("607");
    ui::fillCodes(iota, ui::tableCodes(store::alias::kIota, "IOTA", "NOMBRE2"));
    iota->setMaximumWidth(fontMetrics().averageCharWidth() * 36);
    put("Iota", iota);
    put("Locator", line("606", QStringLiteral("AA99AA"), true, 8), 1);
    ++row;
    put("Zona CQ", line("608", QStringLiteral("99"), false, 4));
    put("Zona ITU", line("609", QStringLiteral("99"), false, 4), 1);
    ++row;
    QComboBox* rcvd = combo("610");
    fillFixed(rcvd, {"", "SI", "NO"}, {" ", "SI", "NO"});
    put("QSL Rec", rcvd);
    QComboBox* sent = combo("611");
    fillFixed(sent, {"", "Y", "N", "Q", "R", "I"}, {"", "Si", "No", "Cola Imp.", "Solic.", "Ignorar"});
    put("QSL Env", sent, 1);
    ++row;
    put("QSL via", line("612", QString(), true, 14));
    put("Operador", line("614", QString(), true, 14), 1);
    ++row;
    put("Provincia", line("615", QString(), true, 6));
    QComboBox* how = combo("616");
    fillFixed(how, {"", "B", "D", "E", "M", "O"}, {"", "Buro", "Directa", "Electrónica", "Manager", "oQRS"});
    put("Envio via", how, 1);
    ++row;
    auto* qsl = new QGroupBox(QStringLiteral("QSL"), this);
    auto* qslRow = new QHBoxLayout(qsl);
    auto* exchange = new QButtonGroup(this);
    exchange->setObjectName(QStringLiteral("exchange"));
    int id = 700, choice = 1;
    for (const char* text : {"Todos", "Quieren QSL", "No intercambio"}) {
        auto* r = new QRadioButton(QString::fromUtf8(text), qsl);
        r->setObjectName(QString::number(id++));
        exchange->addButton(r, choice++);
        qslRow->addWidget(r);
    }
    g->addWidget(qsl, row, 0, 1, 4);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* clear = buttons->addButton(QStringLiteral("&Limpiar campos"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("4001"));
    connect(clear, &QPushButton::clicked, this, &FilterDialog::clearFields);
    QPushButton* advanced = buttons->addButton(QStringLiteral("&Filtro avanzado"), QDialogButtonBox::ActionRole);
    advanced->setObjectName(QStringLiteral("4004"));
    advanced->setEnabled(advancedAvailable);
    connect(advanced, &QPushButton::clicked, this, [this] {
        m_advanced = true;
        reject();
    });
    QPushButton* apply = buttons->addButton(QStringLiteral("&Filtrar"), QDialogButtonBox::AcceptRole);
    apply->setObjectName(QStringLiteral("1"));
    apply->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this, from, to] {
        if (ui::datesReadable({from, to}))
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
    load(criteria);
}

void FilterDialog::load(const QMap<QString, QString>& criteria)
{
    for (const Named& n : kControls) {
        const QString v = criteria.value(QString::fromLatin1(n.name));
        if (n.combo) {
            auto* box = findChild<QComboBox*>(QString::fromLatin1(n.id));
            int at = box->findData(v);
            if (at < 0)
                at = box->findData(v.trimmed());
            box->setCurrentIndex(std::max(at, 0));
        } else {
            findChild<QLineEdit*>(QString::fromLatin1(n.id))->setText(v);
        }
    }
    const int choice = std::clamp(criteria.value(QStringLiteral("exchange"), QStringLiteral("1")).toInt(), 1, 3);
    findChild<QButtonGroup*>(QStringLiteral("exchange"))->button(choice)->setChecked(true);
    findChild<QLineEdit*>(QStringLiteral("613"))->setEnabled(!criteria.value(QStringLiteral("from")).trimmed().isEmpty());
    findChild<QComboBox*>(QStringLiteral("605"))->setEnabled(criteria.value(QStringLiteral("cont")).isEmpty());
}

void FilterDialog::clearFields()
{
    load({});
    findChild<QLineEdit*>(QStringLiteral("601"))->setFocus();
}

QMap<QString, QString> FilterDialog::values() const
{
    QMap<QString, QString> out;
    for (const Named& n : kControls)
        out[QString::fromLatin1(n.name)] = n.combo ? comboValue(this, n.id) : lineValue(this, n.id);
    out[QStringLiteral("exchange")] = QString::number(findChild<QButtonGroup*>(QStringLiteral("exchange"))->checkedId());
    return out;
}

} // namespace logbook
