// Number rules and the settings file.
#include "platform/fitxer_ini.h"
#include "platform/numeros.h"

#include <QFile>
#include <QDir>
#include <QTemporaryDir>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <clocale>
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

    void nearest_goes_to_even_and_overflows() {
        QCOMPARE(nearest(2.5), 2);
        QCOMPARE(nearest(3.5), 4);
        QCOMPARE(nearest(-2.5), -2);
        QCOMPARE(nearest(32767.4), 32767);
        QVERIFY_THROWS_EXCEPTION(error_execucio, nearest(32767.5));
        QVERIFY_THROWS_EXCEPTION(error_execucio, c16(640LL * 480));
        QVERIFY_THROWS_EXCEPTION(error_execucio, divideix(1, 0));
        QCOMPARE(floor16(-0.5), -1);
        QCOMPARE(trunc16(-0.5), 0);
    }

    void hexval_is_lenient() {
        QCOMPARE(hexval("3C"), 60);
        QCOMPARE(hexval(" 2"), 2);
        QCOMPARE(hexval(""), 0);
        QCOMPARE(hexval("4 C"), 76);
        QCOMPARE(hexval("5x"), 5);
        QCOMPARE(hexval("FFFF"), -1);
    }

    void leading_number_reads_the_prefix() {
        QCOMPARE(leading_number("12"), 12.0);
        QCOMPARE(leading_number("12 cançons"), 12.0);
        QCOMPARE(leading_number("cançons"), 0.0);
        QCOMPARE(leading_number("1 2"), 12.0);
        QCOMPARE(leading_number("\t2.5\n"), 2.5);
        QCOMPARE(leading_number("1E2"), 100.0);
        QCOMPARE(leading_number("&H1F"), 31.0);
        QCOMPARE(leading_number("&o17"), 15.0);
        QCOMPARE(leading_number("-3/4"), -3.0);
        QCOMPARE(leading_number(""), 0.0);
        QCOMPARE(leading_number("1E-999"), 0.0);
        QVERIFY_THROWS_EXCEPTION(error_execucio, leading_number("1E999"));
        QVERIFY_THROWS_EXCEPTION(error_execucio, leading_number("&H123456789"));
    }

    void numbers_use_the_point_in_our_users_locales() {
        int provats = 0;
        auto torna_a_c = qScopeGuard([] { std::setlocale(LC_ALL, "C"); });
        for (const char* locale : {"ca_ES.UTF-8", "es_ES.UTF-8", "gl_ES.UTF-8"}) {
            if (!std::setlocale(LC_ALL, locale)) continue;
            ++provats;
            QCOMPARE(nearest(leading_number("3.5")), 4);
            QCOMPARE(leading_number("1.5E1"), 15.0);
            QCOMPARE(number("-1.5"), -1.5);
            QCOMPARE(text(2.5), std::string(" 2.5"));
        }
        if (provats == 0) QSKIP("none of ca_ES, es_ES, gl_ES is generated on this machine");
    }

    void number_is_strict() {
        QCOMPARE(number(" 60 "), 60.0);
        QCOMPARE(number("-1.5"), -1.5);
        QVERIFY_THROWS_EXCEPTION(error_execucio, number(""));
        QVERIFY_THROWS_EXCEPTION(error_execucio, number("6x"));
        QVERIFY_THROWS_EXCEPTION(error_execucio, number("a"));
    }

    void text_keeps_a_blank_for_the_sign() {
        QCOMPARE(text(60), std::string(" 60"));
        QCOMPARE(text(0), std::string(" 0"));
        QCOMPARE(text(-3), std::string("-3"));
        QCOMPARE(trimmed(60), std::string("60"));
    }

    void continue_on_error_runs_the_next_step() {
        int passos = 0;
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
    }

    void reading_decodes_windows_1252() {
        escriu("[inici]\nidioma=espa\xF1ol\nsigne=\x80\n");
        QCOMPARE(llegeix("inici", "idioma"), QString("español"));
        QCOMPARE(llegeix("inici", "signe"), QString("€"));
    }

    void a_missing_file_reads_empty() {
        int n = -1;
        QCOMPARE(llegeix("inici", "idioma", &n), QString());
        QCOMPARE(n, 0);
        QCOMPARE(examina_fitxer(ini()), estat_fitxer::absent);
    }

    void writing_creates_the_file_and_section() {
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "español", ini()));
        QCOMPARE(contingut(), QByteArray("[inici]\nidioma=espa\xF1ol\n"));
        escriu("[canciones]\r\nnum=0");
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "galego", ini()));
        QCOMPARE(contingut(), QByteArray("[canciones]\r\nnum=0\r\n[inici]\r\nidioma=galego\r\n"));
    }

    void writing_keeps_every_other_byte() {
        const QByteArray abans = "; catàleg\r\n[INICI]\r\n IDIOMA = catala ; vell\r\nfons=1\r\n\r\n[ritmos]\r\n1nombre=Rock\r\n";
        escriu(abans);
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "galego", ini()));
        QByteArray despres = abans;
        despres.replace(" IDIOMA = catala ; vell", "idioma=galego");
        QCOMPARE(contingut(), despres);

        escriu("[inici]\nfons=1\n\n[ritmos]\nnum=1\n");
        QVERIFY(WritePrivateProfileStringA("inici", "idioma", "catala", ini()));
        QCOMPARE(contingut(), QByteArray("[inici]\nfons=1\nidioma=catala\n\n[ritmos]\nnum=1\n"));
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

    void the_settings_file_is_found_whatever_its_case() {
        escriu("");
        QFile::rename(ini(), dir.path() + "/Brisola.INI");
        QCOMPARE(cami_sense_majuscules(dir.path(), "brisola.ini"), dir.path() + "/Brisola.INI");
        escriu("");
        QCOMPARE(cami_sense_majuscules(dir.path(), "brisola.ini"), ini()); // the exact name first
        QFile::remove(dir.path() + "/Brisola.INI");
        QCOMPARE(cami_sense_majuscules(dir.path() + "/absent", "brisola.ini"), dir.path() + "/absent/brisola.ini");
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
