#pragma once
// Recording stand-ins for the system services.
#include "platform/captura_sistema.h"
#include "platform/dialeg_fitxers.h"
#include "platform/joystick_sistema.h"
#include "platform/media_sistema.h"
#include "platform/midi_sistema.h"
#include "platform/missatges.h"
#include "platform/ports_alsa.h"
#include "platform/programes.h"
#include "platform/tintseer_biblioteca.h"

#include <QFileInfo>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <set>
#include <vector>

namespace brisola {

struct midi_fals : midi_sistema {
    bool mapper_respon = true;
    QStringList dispositius{"Sintetitzador integrat"};
    std::set<int32_t> sense_capacitats;
    uint32_t resultat_obrir = MMSYSERR_NOERROR;
    std::vector<int32_t> oberts;
    std::vector<HMIDIOUT> tancats;
    std::vector<uint32_t> enviats;
    HMIDIOUT obert = 0;
    std::function<void(uint32_t)> en_enviar; // sees every message, sent or refused

    uint32_t midiOutGetNumDevs() override { return uint32_t(dispositius.size()); }
    uint32_t midiOutGetDevCapsA(int32_t d, QString& nom) override {
        if (sense_capacitats.count(d) || (d == MIDI_MAPPER && !mapper_respon)) return MMSYSERR_ERROR;
        if (d == MIDI_MAPPER) nom = "MIDI Mapper";
        else if (d >= 0 && d < dispositius.size()) nom = dispositius[d];
        else return MMSYSERR_BADDEVICEID;
        return MMSYSERR_NOERROR;
    }
    uint32_t midiOutOpen(HMIDIOUT& h, int32_t d) override {
        oberts.push_back(d);
        h = resultat_obrir == MMSYSERR_NOERROR ? 100 + oberts.size() : 0;
        obert = h;
        return resultat_obrir;
    }
    uint32_t midiOutClose(HMIDIOUT h) override {
        tancats.push_back(h);
        if (h != obert) return MMSYSERR_INVALHANDLE;
        obert = 0;
        return MMSYSERR_NOERROR;
    }
    uint32_t midiOutShortMsg(HMIDIOUT h, uint32_t m) override {
        if (en_enviar) en_enviar(m);
        if (h == 0 || h != obert) return MMSYSERR_INVALHANDLE;
        enviats.push_back(m);
        return MMSYSERR_NOERROR;
    }
    QString midiOutGetErrorTextA(uint32_t codi) override { return text_error_midi(codi); }
};

// A sequencer with the ports named; sends are recorded by port ("propi" for the instrument's own).
struct alsa_fals : ports_alsa {
    bool hi_ha = false;
    bool desconnectat = false; // the ports went away
    QStringList noms;
    std::map<QString, std::vector<std::vector<uint8_t>>> enviats;
    struct port : port_alsa {
        std::vector<std::vector<uint8_t>>& desti;
        const bool& desconnectat;
        port(std::vector<std::vector<uint8_t>>& d, const bool& fora) : desti(d), desconnectat(fora) {}
        bool envia(const std::vector<uint8_t>& m) override {
            if (desconnectat) return false;
            desti.push_back(m);
            return true;
        }
    };
    bool hi_ha_sequenciador() override { return hi_ha; }
    QStringList ports() override { return hi_ha ? noms : QStringList(); }
    std::unique_ptr<port_alsa> obre(int i) override {
        return hi_ha && i < noms.size() ? std::make_unique<port>(enviats[noms[i]], desconnectat) : nullptr;
    }
    std::unique_ptr<port_alsa> obre_propi(const QString&) override {
        return hi_ha ? std::make_unique<port>(enviats["propi"], desconnectat) : nullptr;
    }
};

struct missatges_fals : missatges {
    QStringList caixes, titols, avisos;
    std::function<void()> mentre_oberta; // runs while a box is open, as its event loop would
    void MsgBox(const QString& text, const QString& titol) override {
        caixes << text;
        titols << titol;
        if (mentre_oberta) mentre_oberta();
    }
    void avisa(const QString& text) override { avisos << text; }
    QStringList personals; // of those, the ones kept out of standard error
    void avisa_personal(const QString& text) override { avisos << text, personals << text; }
    QStringList registrats; // notices written to standard error only
    void registra(const QString& text) override { registrats << text; }
};

struct dialeg_fals : dialeg_fitxers {
    QString tria; // what the user picks; empty: cancelled
    QStringList filtre;
    uint32_t flags = 0;
    QString GetOpenFileNameA(QWidget*, const QString&, const QStringList& f, uint32_t fl) override {
        filtre = f;
        flags = fl;
        return tria;
    }
};

struct joystick_fals : joystick_sistema {
    std::set<uint32_t> presents;
    std::vector<uint32_t> consultats;
    JOYINFO lectura;
    uint32_t joyGetPos(uint32_t n, JOYINFO& l) override {
        consultats.push_back(n);
        if (!presents.count(n)) return JOYERR_UNPLUGGED;
        l = lectura;
        return JOYERR_NOERROR;
    }
    void endolla(std::set<uint32_t> nous) {
        presents = std::move(nous);
        avisa_canvi();
    }
};

struct captura_falsa : captura_sistema {
    std::set<int16_t> drivers, connectables;
    int finestres_creades = 0, finestres_destruides = 0, desconnexions = 0;
    bool capGetDriverDescriptionA(int16_t i, QString& nom, QString& versio) override {
        nom = "Camera";
        versio = "1.0";
        return drivers.count(i) > 0;
    }
    HWND_CAPTURA capCreateCaptureWindowA(uintptr_t) override { return HWND_CAPTURA(++finestres_creades); }
    bool connecta(HWND_CAPTURA, int16_t i) override { return connectables.count(i) > 0; }
    bool desconnecta(HWND_CAPTURA) override { return ++desconnexions > 0; }
    bool capacitats(HWND_CAPTURA, CAPDRIVERCAPS&) override { return true; }
    void DestroyWindow(HWND_CAPTURA) override { ++finestres_destruides; }
};

struct tintseer_fals : tintseer_biblioteca {
    bool present = true;
    int16_t resultat_inici = 1;
    QStringList crides;
    bool carregada() override { return present; }
    int16_t TintseerInicialitza(int32_t) override {
        crides << "Inicialitza";
        return resultat_inici;
    }
    std::optional<std::pair<int16_t, int16_t>> posicio; // vertical, horizontal; none writes nothing
    void TintseerObtenirPosicio(int16_t& v, int16_t& h) override {
        crides << "ObtenirPosicio";
        if (posicio) std::tie(v, h) = *posicio;
    }
    void TintseerFinalitza() override { crides << "Finalitza"; }
};

struct programes_fals : programes {
    QStringList iniciats;
    bool es_pot_iniciar = true;
    int consultes_fins_a_finestra = 1; // how many looks before the window shows; 0: never
    bool oberta = true;
    int consultes = 0;
    bool ShellExecuteA(const QString& cami) override {
        iniciats << cami;
        consultes = 0;
        return es_pot_iniciar;
    }
    uintptr_t finestra_mostrada() override {
        ++consultes;
        return consultes_fins_a_finestra > 0 && consultes >= consultes_fins_a_finestra ? 77 : 0;
    }
    bool en_marxa() override { return es_pot_iniciar && oberta; }
    bool IsWindow(uintptr_t finestra) override { return finestra == 77 && oberta; }
};

struct media_fals : media_sistema {
    QStringList ordres;
    std::map<QString, QString> respostes; // command -> reply
    std::set<QString> fitxers;            // the files that exist
    std::set<QString> refusades; // commands answered with an error
    finals_canco acabades;       // the songs played to their end so far
    finals_canco finals() override { return acabades; }
    QString mciSendStringA(const QString& ordre, uint32_t* error = nullptr) override {
        ordres << ordre;
        if (error) *error = refusades.count(ordre) ? MCIERR_INVALID_FILE : MCI_OK;
        auto it = respostes.find(ordre);
        return it == respostes.end() ? QString() : it->second;
    }
    QString ShortPath(const QString& cami) override {
        return fitxers.count(cami) ? "CURT~" + QString::number(qHash(cami) % 1000) + "." + QFileInfo(cami).suffix()
                                   : QString();
    }
};

} // namespace brisola
