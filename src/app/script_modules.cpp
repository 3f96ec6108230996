#include "script_modules.h"

#include "tappl.h"

#include "store/access.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJSEngine>

namespace app {

namespace {

class ScriptApi : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString appl READ appl CONSTANT)
    Q_PROPERTY(QString dirLocal READ dirLocal CONSTANT)
    Q_PROPERTY(QString dirDat READ dirDat CONSTANT)
    Q_PROPERTY(QString dirRpt READ dirRpt CONSTANT)
public:
    QString name() const { return oAppl->cName; }
    QString version() const { return oAppl->cVer; }
    QString appl() const { return oAppl->cAppl; }
    QString dirLocal() const { return oAppl->cDirLocal; }
    QString dirDat() const { return oAppl->cDirDat; }
    QString dirRpt() const { return oAppl->cDirRpt; }

    Q_INVOKABLE void stop(const QString& t) { ui::messages().stop(t); }
    Q_INVOKABLE void alert(const QString& t) { ui::messages().alert(t); }
    Q_INVOKABLE void info(const QString& t) { ui::messages().info(t); }
    Q_INVOKABLE bool yesNo(const QString& t) { return ui::messages().yesNo(t); }

    Q_INVOKABLE bool goTop(const QString& alias) { return withArea(alias, [](store::WorkArea* a) { return a->goTop().isOk(); }); }
    Q_INVOKABLE bool skip(const QString& alias, int n = 1)
    {
        return withArea(alias, [n](store::WorkArea* a) { return a->skip(n).isOk(); });
    }
    Q_INVOKABLE bool eof(const QString& alias) { return withArea(alias, [](store::WorkArea* a) { return a->eof(); }, true); }
    Q_INVOKABLE int recNo(const QString& alias)
    {
        store::WorkArea* a = store::Workspace::instance().area(alias);
        return a ? int(a->recNo()) : 0;
    }
    Q_INVOKABLE bool seek(const QString& alias, const QString& key)
    {
        return withArea(alias, [&](store::WorkArea* a) { return a->seek(store::Value::text(key)).isOk() && a->found(); });
    }
    Q_INVOKABLE QVariant field(const QString& alias, const QString& name)
    {
        store::WorkArea* a = store::Workspace::instance().area(alias);
        if (!a || a->fieldPos(name) < 0)
            return {};
        const store::Value v = a->value(name);
        switch (v.type()) {
        case store::Value::Type::Char: return v.toString();
        case store::Value::Type::Number: return v.toNumber();
        case store::Value::Type::Logical: return v.toBool();
        case store::Value::Type::Date: return v.julianDay() ? v.toDate().toString(Qt::ISODate) : QString();
        default: return {};
        }
    }
    Q_INVOKABLE bool setField(const QString& alias, const QString& name, const QVariant& value)
    {
        store::WorkArea* a = store::Workspace::instance().area(alias);
        if (!a || a->fieldPos(name) < 0 || !a->lockRecord())
            return false;
        const char type = a->field(a->fieldPos(name)).type;
        store::Status s;
        switch (type) {
        case 'N': s = a->put(name, value.toDouble()); break;
        case 'L': s = a->put(name, value.toBool()); break;
        case 'D': s = a->put(name, QDate::fromString(value.toString(), Qt::ISODate)); break;
        default: s = a->put(name, value.toString()); break;
        }
        const store::Status u = a->unlock();
        return s.isOk() && u.isOk();
    }
    Q_INVOKABLE QString crypt() { return store::CRYPT(); }

private:
    template <class F>
    bool withArea(const QString& alias, F f, bool missing = false)
    {
        store::WorkArea* a = store::Workspace::instance().area(alias);
        return a ? f(a) : missing;
    }
};

} // namespace

QStringList scriptModules(const QString& dir)
{
    QStringList out;
    for (const QString& f : QDir(dir).entryList({QStringLiteral("*.js")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        out << QDir(dir).filePath(f);
    return out;
}

bool runScriptModule(const QString& file)
{
    return runScriptModule(file, QString(), nullptr);
}

bool runScriptModule(const QString& file, const QString& variable, QString* value)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        ui::messages().stop(QStringLiteral("No se pudo leer el módulo ") + file);
        return false;
    }
    QJSEngine engine;
    engine.installExtensions(QJSEngine::ConsoleExtension);
    ScriptApi api;
    engine.globalObject().setProperty(QStringLiteral("orlan"), engine.newQObject(&api));
    engine.setObjectOwnership(&api, QJSEngine::CppOwnership);
    if (value)
        engine.globalObject().setProperty(variable, *value);
    const QJSValue result = engine.evaluate(QString::fromUtf8(f.readAll()), file);
    if (result.isError()) {
        ui::messages().stop(QStringLiteral("Error en el módulo %1, línea %2:\r\n%3")
                                .arg(QFileInfo(file).completeBaseName())
                                .arg(result.property(QStringLiteral("lineNumber")).toInt())
                                .arg(result.toString()));
        return false;
    }
    if (value) {
        const QJSValue out = engine.globalObject().property(variable);
        *value = out.isUndefined() || out.isNull() ? QString() : out.toString();
    }
    return true;
}

} // namespace app

#include "script_modules.moc"
