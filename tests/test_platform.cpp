// Number rules and the settings file.
#include "platform/fitxer_ini.h"
#include "platform/numeros.h"

#include <QFile>
#include <QDir>
#include <QTemporaryDir>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <random>

using namespace brisola;

class test_platform : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString ini() const { return dir.path() + "/brisola.ini"; }
    void escriu(const QByteArray& bytes) {
        QFile f(ini());
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QByteArray contingut() {
        QFile f(ini());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString llegeix(const QString& seccio, const QString& clau, int* n = nullptr) {
        QString bufer;
        int copiats = GetPrivateProfileStringA(seccio, clau, "", bufer, 256, ini());
        if (n) *n = copiats;
        return bufer;
    }

private slots:
    void init() { QFile::remove(ini()); }

    void number_rules() {
        using par = std::pair<const char*, double>;
        for (auto [x, n] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {32767.4, 32767}}) QCOMPARE(nearest(x), n);
        QVERIFY_THROWS_EXCEPTION(error_execucio, nearest(32767.5));
        QVERIFY_THROWS_EXCEPTION(error_execucio, c16(640LL * 480));
        QVERIFY_THROWS_EXCEPTION(error_execucio, divideix(1, 0));
        QCOMPARE(floor16(-0.5), -1);
        QCOMPARE(trunc16(-0.5), 0);
        for (auto [t, v] : {par{"3C", 60}, {" 2", 2}, {"", 0}, {"4 C", 76}, {"5x", 5}, {"FFFF", -1}})
            QCOMPARE(double(hexval(t)), v);
        for (auto [t, v] : {par{"12 cançons", 12}, {"cançons", 0}, {"1 2", 12}, {"\t2.5\n", 2.5}, {"1E2", 100},
                            {"&H1F", 31}, {"&o17", 15}, {"-3/4", -3}, {"", 0}, {"1E-999", 0}})
            QCOMPARE(leading_number(t), v);
        QVERIFY_THROWS_EXCEPTION(error_execucio, leading_number("1E999"));
        QVERIFY_THROWS_EXCEPTION(error_execucio, leading_number("&H123456789"));
        QCOMPARE(number(" 60 "), 60.0); // every suite runs again under a locale whose decimal mark is the comma
        QCOMPARE(number("-1.5"), -1.5);
        for (const char* t : {"", "6x", "a"}) QVERIFY_THROWS_EXCEPTION(error_execucio, number(t));
        QCOMPARE(QList<std::string>({text(60), text(0), text(-3), text(2.5), trimmed(60)}),
                 QList<std::string>({" 60", " 0", "-3", " 2.5", "60"}));
        int passos = 0; // an error ends its own step only
        continua_si_falla([&] { c16(40000); ++passos; });
        continua_si_falla([&] { ++passos; });
        QCOMPARE(passos, 1);
    }

    void reading_follows_the_file_rules() {
        escriu("[Inici]\r\nIDIOMA =  \"galego\"  \r\nidioma=catala\r\n[inici]\r\nx=segona\r\n"
               "[altres]\r\nbuit=\r\ncometa='a'\r\nmig=\"a\r\nllarg=" + QByteArray(300, 'x') + "\r\n");
        int n = -1;
        QCOMPARE(llegeix("inici", "idioma", &n), QString("galego"));
        QCOMPARE(n, 6);
        QCOMPARE(llegeix("INICI", "x"), QString()); // only the first section of a name counts
        QCOMPARE(llegeix("altres", "buit", &n), QString());
        QCOMPARE(n, 0);
        QCOMPARE(llegeix("altres", "cometa"), QString("a"));
        QCOMPARE(llegeix("altres", "mig"), QString("\"a"));
        QCOMPARE(llegeix("altres", "llarg").size(), 255);
        QCOMPARE(llegeix("altres", "absent", &n), QString());
        QCOMPARE(n, 0);
        escriu("[inici]\nidioma=espa\xF1ol\nsigne=\x80\n"); // Windows-1252
        QCOMPARE(llegeix("inici", "idioma") + llegeix("inici", "signe"), QString("español€"));
        QFile::remove(ini());
        QCOMPARE(llegeix("inici", "idioma", &n), QString());
        QCOMPARE(n, 0);
        QCOMPARE(examina_fitxer(ini()), estat_fitxer::absent);
    }

    void writing_keeps_every_other_byte() {
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "español", ini())); // the file and section are made
        QCOMPARE(contingut(), QByteArray("[inici]\nidioma=espa\xF1ol\n"));
        const QByteArray abans = "; catàleg\r\n[INICI]\r\n IDIOMA = catala ; vell\r\nfons=1\r\n\r\n[ritmos]\r\n1nombre=Rock\r\n";
        escriu(abans);
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "galego", ini()));
        QByteArray despres = abans;
        despres.replace(" IDIOMA = catala ; vell", "idioma=galego");
        QCOMPARE(contingut(), despres);

        escriu("[inici]\nfons=1\n\n[ritmos]\nnum=1\n");
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "catala", ini()));
        QCOMPARE(contingut(), QByteArray("[inici]\nfons=1\nidioma=catala\n\n[ritmos]\nnum=1\n"));
        escriu("[canciones]\r\nnum=0");
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "galego", ini()));
        QCOMPARE(contingut(), QByteArray("[canciones]\r\nnum=0\r\n[inici]\r\nidioma=galego\r\n"));
    }

    void a_new_key_lands_in_its_section_whatever_the_line_ends() {
        const QList<std::pair<QByteArray, QByteArray>> casos = {
            {"[inici]\r\nx=1\r", "[inici]\r\nx=1\ridioma=galego\r\n"},
            {"[inici]\rx=1\r[b]\ry=2\r", "[inici]\rx=1\ridioma=galego\r[b]\ry=2\r"},
            {"[inici]\nx=1", "[inici]\nx=1\nidioma=galego\n"},
            {"[b]\ry=2", "[b]\ry=2\r[inici]\ridioma=galego\r"},
        };
        for (const auto& [abans, despres] : casos) {
            escriu(abans);
            QVERIFY(WritePrivateProfileStringA("inici", "idioma", "galego", ini()));
            QCOMPARE(contingut(), despres);
            QCOMPARE(llegeix("inici", "idioma"), QString("galego"));
        }
    }

    void files_are_found_whatever_their_case() {
        escriu("");
        QFile::rename(ini(), dir.path() + "/Brisola.INI");
        QCOMPARE(cami_sense_majuscules(dir.path(), "brisola.ini"), dir.path() + "/Brisola.INI");
        escriu("");
        QCOMPARE(cami_sense_majuscules(dir.path(), "brisola.ini"), ini()); // the exact name first
        QFile::remove(dir.path() + "/Brisola.INI");
        QCOMPARE(cami_sense_majuscules(dir.path() + "/absent", "brisola.ini"), dir.path() + "/absent/brisola.ini");
        // A catalogue's song that lies only in the second folder, named in another case.
        QTemporaryDir nostra;
        QFile(nostra.filePath("passeig.mid")).open(QIODevice::WriteOnly);
        QCOMPARE(cami_del_cataleg({dir.path(), nostra.path()}, "Passeig.MID"), nostra.filePath("passeig.mid"));
        QCOMPARE(cami_del_cataleg({dir.path(), nostra.path()}, "absent.mid"), dir.path() + "/absent.mid");
    }

    void a_kill_during_the_language_write_leaves_the_old_or_the_new_file() {
        // A catalogue of some size, so that the write takes a while to be killed in.
        QByteArray resta;
        for (int i = 1; i <= 300; ++i) resta += "[ritme" + QByteArray::number(i) + "]\nacordes=14Ma014Ma5\n";
        const QByteArray catala = "[inici]\nidioma=catala\n" + resta, galego = "[inici]\nidioma=galego\n" + resta;
        escriu(catala);
        std::mt19937 atzar(2026);
        for (int vegada = 0; vegada < 200; ++vegada) {
            QProcess escriptor;
            escriptor.start(QString(BRISOLA_TESTS_DIR) + "/escriptor_ini", {ini()});
            QVERIFY(escriptor.waitForStarted());
            QThread::usleep(atzar() % 20000);
            ::kill(pid_t(escriptor.processId()), SIGKILL);
            escriptor.waitForFinished();
            QByteArray ara = contingut();
            QVERIFY2(ara == catala || ara == galego, qPrintable(QString("after kill %1: %2 bytes").arg(vegada).arg(ara.size())));
        }
    }

    void a_failed_write_loses_nothing() {
        QVERIFY(!WritePrivateProfileStringA("inici", "idioma", "galego", dir.path() + "/absent/brisola.ini"));
        QVERIFY(!QFile::exists(dir.path() + "/absent"));
        // Something that is there but cannot be read as a file is never replaced.
        QVERIFY(QDir(dir.path()).mkpath("brisola.ini"));
        QCOMPARE(examina_fitxer(ini()), estat_fitxer::illegible);
        QVERIFY(!WritePrivateProfileStringA("inici", "idioma", "galego", ini()));
        QVERIFY(QFileInfo(ini()).isDir());
        QDir(ini()).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(test_platform)
#include "test_platform.moc"
