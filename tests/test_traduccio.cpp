// Captions in three languages, the language menu and the about message.
#include "fakes/banc.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QtTest>

using namespace brisola;

namespace {

QByteArray llegeix(const QString& cami) {
    QFile f(cami);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class test_traduccio : public QObject {
    Q_OBJECT

private slots:
    void the_language_shows_from_the_first_frame_and_switches_every_caption() {
        banc b;
        b.escriu("brisola.ini", "[inici]\r\nidioma=espa\xF1ol\r\n");
        auto w = b.obre();
        QVERIFY(!w->isVisible());
        QCOMPARE(w->fmus[4]->text(), QString(" &Canción"));
        w->estat.idioma = "Galego"; // unknown: nothing changes
        w->traduir_formulari();
        QCOMPARE(w->fmus[4]->text(), QString(" &Canción"));
        w->mn_idioma[1]->trigger();
        QCOMPARE(w->mn_op[0]->text(), QString(" &Opciones"));
        QCOMPARE(w->mn_opcions[2]->text(), QString(" Salir"));
        QCOMPARE(w->mn_aj->text(), QString(" Ayuda"));
        QCOMPARE(w->Frame1->title(), QString(" Test"));
        QCOMPARE(w->estat.idioma, QString("español"));
        QVERIFY(w->mn_idioma.Checked(1) && !w->mn_idioma.Checked(0));
        w->mn_idioma[0]->trigger();
        QCOMPARE(w->mn_op[0]->text(), QString("&Opcions"));
        QCOMPARE(w->mn_inst[2]->text(), QString("Fer Silenci"));
        w->mn_idioma[2]->trigger();
        QCOMPARE(w->mn_acces[0]->text(), QString(" &Rato"));
    }

    void qt_own_dialogs_speak_the_interface_language() {
        banc b;
        b.escriu("brisola.ini", "[inici]\r\nidioma=espa\xF1ol\r\n");
        auto w = b.obre();
        const QStringList angles = {"&Open", "Open", "Cancel", "&Cancel", "OK", "&OK", "Look in:", "File &name:",
                                    "Files of type:", "Back", "Forward", "Create New Folder", "Detail View"};
        auto paraules = [](QWidget& d) {
            QStringList t;
            for (auto* b : d.findChildren<QAbstractButton*>()) t << b->text() << b->toolTip();
            for (auto* l : d.findChildren<QLabel*>()) t << l->text();
            return t;
        };
        for (int16_t idioma : {1, 2, 1}) { // and back: the language's own words each time
            w->mn_idioma[idioma]->trigger();
            QFileDialog fitxers(w.get());
            fitxers.setOption(QFileDialog::DontUseNativeDialog);
            QInputDialog nom(w.get());
            nom.setLabelText("?");
            for (QWidget* d : {static_cast<QWidget*>(&fitxers), static_cast<QWidget*>(&nom)})
                for (const QString& p : paraules(*d)) QVERIFY2(!angles.contains(p), qPrintable(p));
        }
    }

    void the_first_rhythms_take_their_fixed_captions() {
        banc b;
        b.escriu("brisola.ini", "[ritmos]\nnum=4\n1nombre=Roc\n2nombre=Vals lent\n3nombre=Desfilada\n4nombre=Jota\n");
        auto w = b.obre();
        QCOMPARE(w->rmus[2]->text(), QString("Vals lent")); // start-up translates before the catalogue loads
        w->mn_idioma[0]->trigger();
        QStringList captions;
        for (int16_t i = 1; i < w->rmus.size(); ++i) captions << w->rmus[i]->text();
        QCOMPARE(captions, QStringList({"Rock", "vals", "marxa", "Jota"}));
        w->mn_idioma[2]->trigger();
        QCOMPARE(w->rmus[3]->text(), QString(" Marcha"));
    }

    void choosing_a_language_writes_it_and_keeps_the_catalogue() {
        banc b;
        auto w = b.obre();
        w->mn_idioma[2]->trigger();
        QCOMPARE(llegeix(b.cami("brisola.ini")), QByteArray("[inici]\nidioma=galego\n"));

        banc c;
        const QByteArray cataleg = "[ritmos]\r\nnum=1\r\n1nombre=Rock\r\n[inici]\r\nidioma=catala\r\n[instrumentos]\r\nnum=0\r\n";
        c.escriu("brisola.ini", cataleg);
        auto w2 = c.obre();
        w2->mn_idioma[1]->trigger();
        QByteArray esperat = cataleg;
        esperat.replace("idioma=catala", "idioma=espa\xF1ol");
        QCOMPARE(llegeix(c.cami("brisola.ini")), esperat);
        w2->mn_idioma[1]->trigger(); // the current language again: same file, same captions
        QCOMPARE(llegeix(c.cami("brisola.ini")), esperat);
        QCOMPARE(w2->mn_op[0]->text(), QString(" &Opciones"));

        banc d; // a folder we cannot write to keeps the choice for the run, silently
        d.s.directori = d.cami("no/such/folder");
        auto w3 = d.obre();
        w3->mn_idioma[1]->trigger();
        QCOMPARE(w3->estat.idioma, QString("español"));
        QCOMPARE(w3->mn_op[0]->text(), QString(" &Opciones"));
        QVERIFY(!QDir(d.cami("no")).exists());
        QVERIFY(d.caixes.caixes.isEmpty());
    }
};

QTEST_MAIN(test_traduccio)
#include "test_traduccio.moc"
