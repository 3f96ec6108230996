#include "app/ini_file.h"

#include "app_fixture.h"

#include <unistd.h>

using namespace app;

using IniFileTest = AppTest;

TEST_F(IniFileTest, KeysReadOnceAreWrittenBackInWindowsLayout)
{
    // The directory does not exist yet: the first write creates it.
    IniFile ini(config + "sub/Orlan Win Log.ini");
    EXPECT_EQ(ini.Get("General", "Puerto", 4992).toInt(), 4992);
    EXPECT_EQ(ini.Get("General", "Indicativo", QString("EA4ZZZ")).toString(), "EA4ZZZ");
    EXPECT_FALSE(ini.Get("Cat", "Activo", false).toBool());
    EXPECT_EQ(read(ini.path()), QByteArray("[General]\r\nPuerto=4992\r\nIndicativo=EA4ZZZ\r\n"
                                           "\r\n[Cat]\r\nActivo=.F.\r\n"));

    // A value different from the default is only read.
    EXPECT_EQ(ini.Get("General", "Puerto", 100).toInt(), 4992);
    EXPECT_EQ(ini.Get("general", "PUERTO", 4992).toInt(), 4992);
    EXPECT_EQ(read(ini.path()).count("Puerto"), 1);
}

TEST_F(IniFileTest, ValuesConvertToTheTypeOfTheDefault)
{
    const QString path = tmp.path() + "/t.ini";
    write(path, "[S]\nb1=.t.\nb2=yes\nb3= .F. \nn1=12.7\nn2=-3.9\nn3=abc\nn4=  42 km\n"
                "big=9876543210\nd1=05-03-18\nd2=05-03-19\nd3=31-02-20\ntxt=  hola mundo  \n");
    IniFile ini(path);
    EXPECT_TRUE(ini.Get("S", "b1", false).toBool());
    EXPECT_FALSE(ini.Get("S", "b2", true).toBool());
    EXPECT_FALSE(ini.Get("S", "b3", true).toBool());

    EXPECT_EQ(ini.Get("S", "n1", 0).toInt(), 12);
    EXPECT_EQ(ini.Get("S", "n2", 0).toInt(), -3);
    EXPECT_EQ(ini.Get("S", "n3", 7).toInt(), 0);
    EXPECT_EQ(ini.Get("S", "n4", 0).toInt(), 42);
    const QVariant big = ini.Get("S", "big", qint64(0));
    EXPECT_EQ(big.typeId(), QMetaType::LongLong);
    EXPECT_EQ(big.toLongLong(), 9876543210LL);
    const QVariant dbl = ini.Get("S", "n1", 1.5);
    EXPECT_EQ(dbl.typeId(), QMetaType::Double);
    EXPECT_EQ(dbl.toDouble(), 12.0);

    EXPECT_EQ(ini.Get("S", "d1", QDate()).toDate(), QDate(2018, 3, 5));
    EXPECT_EQ(ini.Get("S", "d2", QDate()).toDate(), QDate(1919, 3, 5));
    EXPECT_FALSE(ini.Get("S", "d3", QDate(2000, 1, 1)).toDate().isValid());
    EXPECT_EQ(ini.Get("S", "txt", QString()).toString(), "hola mundo");

    // "12.7" read as the default 12 is written back as "12".
    EXPECT_EQ(ini.Get("S", "n1", 12).toInt(), 12);
    EXPECT_TRUE(read(path).contains("\nn1=12\r\nn2=-3.9\n"));
}

TEST_F(IniFileTest, SetWritesWholeNumbersLogicalsAndSessionDates)
{
    IniFile ini(tmp.path() + "/t.ini");
    ini.Set("S", "a", 3.9);
    ini.Set("S", "b", true);
    ini.Set("S", "c", QDate(2018, 3, 5));
    ini.Set("S", "d", qint64(-12));
    ini.Set("S", "e", QString("dos\r\nlíneas"));
    EXPECT_EQ(read(ini.path()), QByteArray("[S]\r\na=3\r\nb=.T.\r\nc=05-03-18\r\nd=-12\r\ne=dos  l\xEDneas\r\n"));
    EXPECT_EQ(ini.getString("S", "E"), QString("dos  líneas"));
    EXPECT_EQ(ini.getDate("S", "c"), QDate(2018, 3, 5));
}

TEST_F(IniFileTest, EditsKeepTheRestOfTheFileByteForByte)
{
    const QString path = tmp.path() + "/t.ini";
    const QByteArray before =
        "; Orlan Win Log\r\n"
        "huérfana=1\n"
        "[General]\r\n"
        "  Puerto = 4992  \r\n"
        "; comentario\n"
        "lo que sea\r\n"
        "Modo=CW\r\n"
        "\r\n"
        "; del siguiente\r\n"
        "[Cat]\n"
        "Activo=.T.";                       // no line end at the end of the file
    write(path, store::cp1252::fromUnicode(QString::fromUtf8(before)));
    IniFile ini(path);

    EXPECT_TRUE(ini.Set("GENERAL", "puerto", 5000));        // spelling in the file is kept
    EXPECT_TRUE(ini.Set("general", "Nuevo", "sí"));         // after the last key of its section
    EXPECT_TRUE(ini.Set("cat", "Velocidad", 9600));
    EXPECT_TRUE(ini.Set("Otra", "X", 1));
    const QByteArray after =
        "; Orlan Win Log\r\n"
        "huérfana=1\n"
        "[General]\r\n"
        "Puerto=5000\r\n"
        "; comentario\n"
        "lo que sea\r\n"
        "Modo=CW\r\n"
        "Nuevo=sí\r\n"
        "\r\n"
        "; del siguiente\r\n"
        "[Cat]\n"
        "Activo=.T.\r\n"
        "Velocidad=9600\r\n"
        "\r\n"
        "[Otra]\r\n"
        "X=1\r\n";
    EXPECT_EQ(read(path), store::cp1252::fromUnicode(QString::fromUtf8(after)));

    // Keys before any section belong to none; names are compared in Windows-1252.
    EXPECT_TRUE(ini.text("", "huérfana").isNull());
    EXPECT_EQ(ini.text("GENERAL", "NUEVO"), QString("sí"));
}

TEST_F(IniFileTest, ChangesByAnotherWriterAreSeen)
{
    const QString path = tmp.path() + "/t.ini";
    IniFile a(path), b(path);
    EXPECT_EQ(a.getString("S", "k", "uno"), "uno");
    ASSERT_TRUE(b.Set("S", "k", "dos"));            // same size, new file
    EXPECT_EQ(a.getString("S", "k", "uno"), "dos");
    write(path, "[S]\nk=tres\n");                   // edited in place
    EXPECT_EQ(a.getString("S", "k", "uno"), "tres");
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.ini"});
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QString path = tmp.path() + "/t.ini";
    write(path, "[S]\r\nk=1\r\n");
    QFile::setPermissions(path, QFile::WriteOwner);
    IniFile ini(path);
    EXPECT_EQ(ini.getInt("S", "k", 5), 5);
    EXPECT_FALSE(ini.Set("S", "otra", 2));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(read(path), "[S]\r\nk=1\r\n");
    EXPECT_EQ(ini.getInt("S", "k", 5), 1);
}
