#pragma once
// One switch as a hand works it. A press counts once it has been held the
// acceptance time; a press this soon after the last release is ignored; a
// release followed at once by a press of the same key is the switch still
// held (a key that repeats); and only the release of the key that pressed
// ends the press, so a key brushed during a hold changes nothing.
#include <functional>
#include <memory>

namespace brisola {

class rellotge;
class temporitzador;

class interruptor {
public:
    // Told, with its key, when a press counts and when the press that counted ends.
    struct avisos {
        std::function<void(int tecla)> premsa, alliberament;
    };
    static constexpr int repeticio_ms = 30;

    interruptor(rellotge& r, avisos a);
    ~interruptor();
    // Milliseconds; they apply from the next press.
    void set_temps(int acceptacio, int ignora);
    // `tecla` names what was pressed (a key, a mouse button): never 0.
    void premsa(int tecla);
    void alliberament(int tecla);
    // A press that already counted elsewhere: its release is this switch's.
    void adopta(int tecla);
    // Forgets the press held, counted or not, telling nobody.
    void reinicia();
    int tecla() const { return tecla_; }
    bool acceptada() const { return acceptada_; }
    // A press has begun and has not counted yet.
    bool en_espera() const { return tecla_ != 0 && !acceptada_; }
    // How many presses have begun: tells one press from the next.
    int premses() const { return premses_; }

private:
    void accepta();
    void acaba();

    rellotge& r_;
    avisos avisos_;
    std::unique_ptr<temporitzador> espera_, solta_;
    int acceptacio_ = 0, ignora_ = 0;
    int tecla_ = 0;            // the key held, 0 when none
    int premses_ = 0;
    bool acceptada_ = false;   // its press counted
    bool madura_ = false;      // held long enough while it seemed let go: it counts if it repeats
    double soltada_a_ = -1;    // when it seemed let go (< 0: held)
    double darrer_alliberament_ = -1e9;
};

} // namespace brisola
