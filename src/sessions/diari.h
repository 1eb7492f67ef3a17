#pragma once
// The journal of a person's sessions. A session starts with the first sound
// after the program starts or a person is chosen, and ends when the program
// ends, another person is chosen, or after ten minutes with no sound sent and
// no song playing. Each session is a file of its own in the person's folder
// (owner only); with no person chosen, or the person's journal turned off,
// nothing is written. Everything here runs on the window thread; the file's
// making, writing and closing happen on the writer's.
#include "platform/media_sistema.h"
#include "platform/temporitzador.h"
#include "sessions/escriptor_diari.h"
#include "sessions/ordre_canco.h"

#include <QObject>

#include <array>
#include <functional>
#include <map>
#include <optional>

namespace brisola {

struct guanys_so;

class diari : public QObject {
public:
    static constexpr int periode_ms = 50; // the pointer's place twenty times a second
    static constexpr int64_t silenci_ms = 10 * 60 * 1000;
    static constexpr int64_t reintent_ms = 60 * 1000; // a folder that could not be made is tried again

    struct rellotges {
        rellotge& temps;
        std::function<int64_t()> ara_ns;      // the moment of what is done now (a tick's due time, else now)
        std::function<int64_t()> latencia_ns; // from a message sent to it heard
    };
    // What the journal reads of the window and tells it.
    struct finestra {
        // The place as reached and after the reach mapping, per mille; none when nothing points.
        std::function<std::optional<std::array<int, 4>>()> punter;
        std::function<escriptor_diari::info()> tries; // the choices now, key and value (read when one is made)
        std::function<bool()> actiu;                  // whether the person's journal is on
        std::function<void(int text, const QStringList& dades)> avisa; // a notice (textos_sessions) that does not stop play
    };
    // `arrel` holds one folder per person.
    diari(const QString& arrel, rellotges r, const QString& soundfont);
    ~diari() override;
    void connecta(finestra f) { f_ = std::move(f); }
    // The songs' player itself: a new session asks it where the song is, and it tells when a song ends.
    void escolta(media_sistema& reproductor) { reproductor_ = &reproductor; }

    // Ends any session; `nom` empty: nobody's, nothing is written.
    void set_persona(const QString& nom);
    void tanca();
    // At the program's end: the session ends and none starts again.
    void acaba();

    const QString& arrel() const { return arrel_; }
    QString carpeta(const QString& persona) const { return arrel_ + "/" + persona; }
    // A session is under way (its file may still be being made).
    bool en_curs() const { return escriptor_ != nullptr; }
    // The file of the session under way, once made; empty when none.
    QString fitxer() const { return escriptor_ ? escriptor_->cami() : QString(); }
    // Returns once every ended session is on the disk.
    void espera() { tancant_.clear(); }

    // Where the built-in synthesizer played each message, in the order it played
    // them (status, data, data from the low byte up; the moment it was heard).
    using sentit = std::pair<uint32_t, int64_t>;
    void escolta_sintetitzador(std::function<std::optional<sentit>()> sentits) { sentits_ = std::move(sentits); }

    // What the instrument does, as it does it. A message for the built-in synthesizer
    // is noted where the synthesizer says it was heard; any other, as it goes.
    void midi(uint32_t missatge, bool al_sintetitzador = false);
    // A command the player took.
    void canco(const QString& ordre);
    void pulsador(bool premsa, bool acceptada);
    // A menu's choice was made: those that changed are noted.
    void tries_canviades();
    void nivells(const guanys_so& g);

private:
    bool obre();
    void escriu_estat();
    void escriu_cancons(int64_t ns);
    void mira_finals();
    void recull_sentits();
    void tic();
    bool mira_escriptor();
    void recull();
    void escriu(char tipus, int64_t ns, std::string camps);

    QString arrel_;
    rellotges r_;
    QString soundfont_;
    finestra f_;
    std::unique_ptr<temporitzador> rellotge_;
    std::unique_ptr<escriptor_diari> escriptor_;
    std::vector<std::unique_ptr<escriptor_diari>> tancant_; // ended: writing their last lines and closing
    QString persona_;
    media_sistema* reproductor_ = nullptr;
    std::function<std::optional<sentit>()> sentits_;
    int64_t inici_ = 0; // the session's time 0
    bool avisat_ = false;
    bool ple_ = false;
    int64_t darrer_so_ = 0;
    int64_t proper_intent_ = INT64_MIN; // ns: no session opens before it
    // What a session that starts later must begin with: the channels' programs
    // and controllers, the levels, the song's state.
    std::map<uint16_t, uint32_t> canals_;
    std::string nivells_;
    cancons_obertes cancons_;
    finals_canco finals_;
    std::optional<std::array<int, 4>> darrer_lloc_;
    escriptor_diari::info darreres_tries_;
};

} // namespace brisola
