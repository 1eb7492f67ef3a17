// The MIDI test panel: its controls' exact MIDI traffic, colours and pixels.
#include "fakes/banc.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace brisola;

namespace {

uint32_t nota_on(int n) { return 0x90u | uint32_t(n) << 8 | 127u << 16; }
uint32_t nota_off(int n) { return 0x90u | uint32_t(n) << 8; }

// Remembers when each message went out, and whether the busy cursor was up.
struct panell {
    banc b;
    std::vector<long> hores;
    std::vector<bool> ocupat;
    std::unique_ptr<finestra_main> w;
    panell() {
        b.midi.dispositius << "Port extern";
        w = b.obre();
        w->mn_opcions_Click(0);
        b.midi.en_enviar = [this](uint32_t) {
            hores.push_back(b.rellotge.ara());
            ocupat.push_back(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor);
        };
        neteja();
    }
    void neteja() {
        b.midi.enviats.clear();
        hores.clear();
        ocupat.clear();
    }
    QColor superficie() const { return w->pantalla->BackColor(); }
    bool invertida(int fila) const { return w->Bender->grab().toImage().pixelColor(5, fila) == Qt::black; }
};

} // namespace

class test_panell : public QObject {
    Q_OBJECT

private slots:
    void the_scroll_bar_silences_its_last_note_first() {
        panell p;
        p.w->sb_play->setValue(64);
        QCOMPARE(p.superficie(), QColor(128, 128, 255)); // colour 5, "16744576"
        p.w->sb_play->setValue(65);
        QCOMPARE(p.b.midi.enviats, std::vector<uint32_t>({nota_off(0), nota_on(64), nota_off(64), nota_on(65)}));
        QCOMPARE(p.superficie(), QColor(128, 255, 0)); // colour 6, "65408"
    }

    void the_scale_rises_a_quarter_second_a_note_with_the_busy_cursor() {
        panell p;
        p.w->Command5->click();
        std::vector<uint32_t> esperat;
        std::vector<long> hores;
        const int notes[] = {72, 74, 76, 77, 79, 81, 83, 84, 86, 88, 89, 91, 93, 95};
        for (int i = 0; i < 14; ++i) {
            esperat.insert(esperat.end(), {nota_on(notes[i]), nota_off(notes[i])});
            hores.insert(hores.end(), {250L * i, 250L * (i + 1)});
        }
        QCOMPARE(p.b.midi.enviats, esperat);
        QCOMPARE(p.hores, hores);
        QCOMPARE(p.ocupat, std::vector<bool>(28, true));
        QVERIFY(!QApplication::overrideCursor());
    }

    void the_keyboard_strip_plays_its_height() {
        panell p;
        p.w->Picture1_MouseDown(1, 0, 200, 60);
        QCOMPARE(p.superficie(), QColor(59, 0, 1)); // 65535 + 60 = 65595
        p.w->Picture1_MouseUp(1, 0, 200, 70.5f);
        QCOMPARE(p.b.midi.enviats, std::vector<uint32_t>({nota_on(60), nota_off(60)})); // the pressed note ends
        p.neteja();
        QTest::mousePress(p.w->Picture1, Qt::LeftButton, {}, QPoint(10, p.w->Picture1->height() - 1));
        QVERIFY(p.b.midi.enviats.size() == 1 && (p.b.midi.enviats[0] >> 8 & 0x7F) >= 125); // the bottom edge is 127
        p.neteja();
        QTest::mousePress(p.w->Picture1, Qt::LeftButton, {}, QPoint(10, -40)); // a drag from past the top edge
        QTest::mouseRelease(p.w->Picture1, Qt::LeftButton, {}, QPoint(10, p.w->Picture1->height() + 40));
        QCOMPARE(p.b.midi.enviats, std::vector<uint32_t>({nota_on(0), nota_off(0)}));
        QVERIFY(p.b.caixes.caixes.isEmpty()); // no "invalid message"
    }

    void the_bend_strip_moves_its_inverted_marker() {
        panell p;
        const int h = p.w->Bender->height();
        const int mig = qRound(8192.0 * h / 16383), dalt = qRound(100.0 * h / 16383);
        QVERIFY(!p.invertida(mig));
        p.w->Bender_MouseMove(0, 0, 0.5f, 8192);
        QVERIFY(p.invertida(mig) && p.invertida(0)); // the first move also inverts the top edge
        p.w->Bender_MouseMove(0, 0, 0.5f, 100);
        QVERIFY(!p.invertida(mig) && p.invertida(dalt));
        p.w->Bender_MouseMove(0, 0, 0.5f, 20000); // dragged below the strip, then above it
        p.w->Bender_MouseMove(0, 0, 0.5f, -300);
        QCOMPARE(p.b.midi.enviats, std::vector<uint32_t>({0x4000E0, 0x0064E0, 0x7F7FE0, 0x0000E0}));
        QVERIFY(p.b.caixes.caixes.isEmpty()); // no "invalid message"
    }

    void the_panel_plays_on_the_chosen_port() {
        panell p;
        p.w->List1->set_ListIndex(2); // the mapper, the built-in synthesizer, then the port
        QCOMPARE(p.b.midi.oberts.back(), 1);
        p.w->Command1->click();
        QCOMPARE(p.b.midi.enviats, std::vector<uint32_t>({nota_on(60)}));
        p.w->Command2->click();
        QCOMPARE(p.b.midi.enviats.size(), size_t(33));
    }
};

QTEST_MAIN(test_panell)
#include "test_panell.moc"
