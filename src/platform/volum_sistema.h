#pragma once
// The levels of what the instrument sounds itself: its built-in synthesizer,
// as a whole and channel by channel, and the songs. Messages to an external
// MIDI port never pass through here.
#include <array>

namespace brisola {

class media_interpret;
class sintetitzador;

struct guanys_so {
    double sintetitzador = 1;        // amplitude factor over the whole synthesizer
    std::array<double, 16> canals{}; // each MIDI channel's factor, at most 1
    double cancons = 1;              // the songs' factor
    guanys_so() { canals.fill(1); }
};

class volum_sistema {
public:
    virtual ~volum_sistema() = default;
    virtual void set_guanys(const guanys_so& g) = 0;
};

// The program's own: the built-in synthesizer and the song players.
class volum_intern : public volum_sistema {
public:
    volum_intern(sintetitzador& synth, media_interpret& media) : synth_(synth), media_(media) {}
    void set_guanys(const guanys_so& g) override;

private:
    sintetitzador& synth_;
    media_interpret& media_;
};

} // namespace brisola
