#pragma once
// The board of choices on an instrument of recording fakes, with the catalogue we ship.
#include "fakes/banc.h"
#include "persones/etapa_punter.h"
#include "persones/menu_persona.h"
#include "platform/parla_sistema.h"
#include "tauler/caixes_tauler.h"
#include "tauler/tauler.h"

#include <QAction>
#include <QMenu>
#include <QtTest>

#include <algorithm>
#include <optional>

namespace brisola {

struct parla_fals : parla_sistema {
    bool te_veu = true;
    QStringList dits;
    bool disponible() override { return te_veu; }
    void diu(const QString& text, const QString&) override { dits << text; }
};

// The instrument with the catalogue we ship, a person's aids and their access method.
struct amb_tauler : banc {
    caixes_tauler caixes_del_tauler{caixes};
    parla_fals parla;
    etapa_punter punter;
    serveis s_tauler{midi,    caixes_del_tauler, dialeg,    rellotge,   punter.joystick(), captura, punter.tintseer(),
                     media,   llancador,         dir.path(), dir.path(), [] {}};
    std::unique_ptr<finestra_main> w;
    std::unique_ptr<menu_persona> m;

    // `seguidor`: the tracker's library (none: the fake).
    explicit amb_tauler(const ajuts& a, int acces, const QByteArray& cataleg = {},
                        tintseer_biblioteca* seguidor = nullptr)
        : punter(rellotge, joystick, seguidor ? *seguidor : tintseer) {
        QFile original(BRISOLA_SOURCE_DIR "/data/brisola.ini");
        original.open(QIODevice::ReadOnly);
        escriu("brisola.ini", cataleg.isEmpty() ? original.readAll() : cataleg);
        joystick.presents = {0};
        captura.drivers = captura.connectables = {0};
        w = std::make_unique<finestra_main>(s_tauler);
        QCoreApplication::processEvents(); // the tracker's probe, once the window is made
        punter.enganxa(*w);
        m = std::make_unique<menu_persona>(*w, menu_persona::demana{},
                                           serveis_persona{&punter, nullptr, &parla, &caixes_del_tauler});
        persona p;
        p.acces = acces;
        p.invertir_x = acces == 0; // as the mouse has it
        p.ajuts = a;
        m->aplica(p);
    }
    tauler& t() { return m->tauler(); }
    // A tenth of a second between a release and the next press, as a hand takes at the least.
    void prem() {
        rellotge.avanca(100);
        QTest::keyPress(w.get(), Qt::Key_Space);
    }
    void deixa() { QTest::keyRelease(w.get(), Qt::Key_Space); }
    long notes() const {
        return std::count_if(midi.enviats.begin(), midi.enviats.end(),
                             [](uint32_t m) { return (m & 0xF0) == 0x90 && (m >> 16) > 0; });
    }
    // Waits, one scan step at a time, for the highlight to stand on the tile of that caption.
    void espera(const QString& text) {
        auto ressaltat = [&] { return t().obert() ? t().rajoles()[size_t(t().ressaltada())].text : QString(); };
        for (int i = 0; i < 40 && ressaltat() != text; ++i) rellotge.avanca(500);
        QCOMPARE(ressaltat(), text);
    }
    // Opens the board and chooses as a switch user does: at each tile on the way, waits for the
    // highlight to come to its caption and presses. The seconds and the presses it took, or none
    // when the highlight never came there or another choice ran.
    struct passeig {
        double segons;
        int premudes;
    };
    std::optional<passeig> camina(const std::vector<int>& cami) {
        t().obre();
        std::vector<rajola> nivell = t().rajoles();
        QObject triades;
        QStringList triat;
        // A menu tells of its item before the item's own handler runs (which may build the menu again).
        for (QMenu* menu : w->findChildren<QMenu*>())
            QObject::connect(menu, &QMenu::triggered, &triades, [&triat](QAction* a) { triat << de_l_accio(a).text; });
        const double inici = rellotge.segons();
        passeig p{0, 0};
        rajola darrera;
        for (int index : cami) {
            darrera = nivell[size_t(index)];
            const QString text = darrera.text;
            auto ressaltat = [&] { return t().obert() ? t().rajoles()[size_t(t().ressaltada())].text : QString(); };
            for (int pas = 0; pas < 40 && ressaltat() != text; ++pas) rellotge.avanca(m->ajustos().valors().escombrat);
            if (ressaltat() != text) return std::nullopt;
            prem();
            deixa();
            ++p.premudes;
            nivell = darrera.fills;
        }
        p.segons = rellotge.segons() - inici;
        // The choice's own item runs first (a person's runs those of their setup after it); "Tornar a tocar" runs none.
        const bool ok = triat.isEmpty() ? darrera.t == rajola::tipus::tanca : triat.front() == darrera.text;
        t().tanca(); // a box the choice raised
        if (!w->mn_acces.Checked(3)) w->mn_acces_Click(3);
        return ok ? std::optional(p) : std::nullopt;
    }
    // The captions of the choices under a tile, in the board's order.
    static QStringList textos(const rajola& r) {
        QStringList t;
        for (const rajola& f : r.fills)
            if (f.t == rajola::tipus::grup) t += textos(f);
            else if (f.t != rajola::tipus::tornar) t << f.text;
        return t;
    }
    // The mouse's pointer at a fraction of the surface.
    void apunta(double x, double y) {
        w->estat.ratoli_x = int16_t(x * w->pantalla->ScaleWidth());
        w->estat.ratoli_y = int16_t(y * w->pantalla->ScaleHeight());
    }
    void apunta(const QRectF& r) { apunta(r.center().x() / t().width(), r.center().y() / t().height()); }
    QRectF lloc(const QString& text) const {
        auto& rs = m->tauler().rajoles();
        auto it = std::find_if(rs.begin(), rs.end(), [&](const rajola& r) { return r.text == text; });
        return m->tauler().llocs().at(size_t(it - rs.begin()));
    }
};

inline ajuts escombrat(int tauler_pulsador = 2000) {
    ajuts a;
    a.tauler_pulsador = tauler_pulsador;
    a.escombrat = 500;
    return a;
}

// Every choice's place: the tiles chosen on the way to it, from the first tiles.
inline void camins(const std::vector<rajola>& rs, std::vector<int>& cami, std::vector<std::vector<int>>& fulles) {
    for (size_t i = 0; i < rs.size(); ++i) {
        cami.push_back(int(i));
        if (rs[i].t == rajola::tipus::grup) camins(rs[i].fills, cami, fulles);
        else if (rs[i].t != rajola::tipus::tornar) fulles.push_back(cami);
        cami.pop_back();
    }
}

inline std::vector<std::vector<int>> camins(const std::vector<rajola>& rs) {
    std::vector<int> cami;
    std::vector<std::vector<int>> fulles;
    camins(rs, cami, fulles);
    return fulles;
}

} // namespace brisola

