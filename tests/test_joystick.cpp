// Playing with a joystick: the timer's scaling and dead band on the fake seam,
// and SDL's virtual joysticks plugged in and out of the running instrument.
#include "fakes/banc.h"
#include "platform/joystick_sdl.h"

#include <QLabel>
#include <QtTest>

#include <SDL.h>

using namespace brisola;

namespace {

struct amb_joystick : banc {
    std::unique_ptr<finestra_main> w;
    explicit amb_joystick(std::set<uint32_t> presents = {0}) {
        joystick.presents = std::move(presents);
        w = obre();
        w->mn_acces_Click(2);
        w->pantalla->setGeometry(0, 0, 640, 480); // one pixel a frame unit: cursor places stay exact
    }
    // One tick with the stick at raw (x, y): the horizontal position MUS was given, and the vertical.
    std::pair<QString, float> mou(uint32_t x, uint32_t y) {
        joystick.lectura.wXpos = x;
        joystick.lectura.wYpos = y;
        rellotge.avanca(10);
        return {w->Label5->text(), w->cursor_actiu->Top()};
    }
    void cursor_a(float x_marc) { w->cursor_actiu->Move(x_marc, 0); }
};

// The instrument on the real SDL joystick layer, everything else recorded.
struct amb_sdl : banc {
    joystick_sdl sdl;
    serveis reals = amb(midi, sdl);
    finestra_main w{reals};
};

int nota_de(uint32_t missatge) { return int(missatge >> 8 & 0x7F); }

} // namespace

class test_joystick : public QObject {
    Q_OBJECT

private slots:
    void the_stick_scales_into_the_frame_short_of_its_far_edges() {
        amb_joystick j;
        QCOMPARE(j.mou(0, 0), std::make_pair(QString(" 0"), 0.0f));
        QCOMPARE(j.mou(65535, 65535), std::make_pair(QString(" 635"), 477.0f));
        QCOMPARE(j.mou(33000, 33000), std::make_pair(QString(" 320"), 240.0f));
    }

    void a_trembling_stick_leaves_the_pointer_at_the_cursor() {
        amb_joystick j;
        j.cursor_a(321.5);
        QCOMPARE(j.mou(33000, 0).first, QString(" 322")); // 1.5 away: the cursor's 321.5, to the even 322
        j.cursor_a(322);
        QCOMPARE(j.mou(33000, 0).first, QString(" 320")); // 2 away: the stick moves it
    }

    void the_timer_keeps_its_10_ms_and_holds_a_silent_stick() {
        amb_joystick j;
        j.midi.enviats.clear();
        j.mou(33000, 0); // MUS answers 200 ms here
        j.rellotge.avanca(90);
        QCOMPARE(j.w->t_joy->Interval(), 10);
        QCOMPARE(j.midi.enviats.size(), size_t(20));
        j.joystick.presents.clear(); // it stops answering: the last reading stands
        QCOMPARE(j.mou(0, 65535).first, QString(" 320"));
    }

    void plugging_in_enables_the_item() {
        amb_joystick j(std::set<uint32_t>{});
        QVERIFY(!j.w->mn_acces[2]->isEnabled());
        j.joystick.endolla({2});
        QTRY_VERIFY(j.w->mn_acces[2]->isEnabled());
        j.joystick.endolla({});
        QTRY_VERIFY(!j.w->mn_acces[2]->isEnabled());
    }

    void a_virtual_stick_comes_and_goes_and_plays() {
        amb_sdl a;
        QVERIFY(!a.w.mn_acces[2]->isEnabled());
        JOYINFO lectura;
        QCOMPARE(a.sdl.joyGetPos(0, lectura), uint32_t(JOYERR_UNPLUGGED));
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 1, 0);
        QVERIFY2(index >= 0, SDL_GetError());
        QTRY_VERIFY(a.w.mn_acces[2]->isEnabled());
        SDL_Joystick* pal = SDL_JoystickOpen(index);
        auto llegeix = [&](int16_t x, int16_t y) { // SDL's axes, read as the stick's raw 0..65535
            SDL_JoystickSetVirtualAxis(pal, 0, x);
            SDL_JoystickSetVirtualAxis(pal, 1, y);
            return a.sdl.joyGetPos(0, lectura) == JOYERR_NOERROR ? std::make_pair(lectura.wXpos, lectura.wYpos)
                                                                  : std::make_pair(~0u, ~0u);
        };
        QCOMPARE(llegeix(0, 0), std::make_pair(32768u, 32768u));
        SDL_JoystickSetVirtualButton(pal, 0, 1);
        QCOMPARE(llegeix(-32768, 32767), std::make_pair(0u, 65535u));
        QCOMPARE(lectura.wButtons, 1u);
        QCOMPARE(a.sdl.joyGetPos(1, lectura), uint32_t(JOYERR_UNPLUGGED));

        a.w.mn_acces_Click(2);
        SDL_JoystickSetVirtualAxis(pal, 1, -32768); // up
        a.midi.enviats.clear();
        a.rellotge.avanca(10);
        int dalt = nota_de(a.midi.enviats.back());
        SDL_JoystickSetVirtualAxis(pal, 1, 32767); // down
        a.rellotge.avanca(10);
        int baix = nota_de(a.midi.enviats.back());
        QCOMPARE(std::make_pair(dalt, baix), std::make_pair(108, 13)); // 477 is as low as the stick reaches

        SDL_JoystickClose(pal);
        SDL_JoystickDetachVirtual(index);
        QTRY_VERIFY(!a.w.mn_acces[2]->isEnabled());
        QCOMPARE(a.sdl.joyGetPos(0, lectura), uint32_t(JOYERR_UNPLUGGED));
    }
};

QTEST_MAIN(test_joystick)
#include "test_joystick.moc"
