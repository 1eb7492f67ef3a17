#pragma once
// The window `main`: its controls, menus and timers, the shared state it
// owns, and the modules that work on them.
#include "access/modul_joystic.h"
#include "access/webcam.h"
#include "app/torn.h"
#include "presentation/avisos.h"
#include "presentation/traduccio.h"
#include "app/estat.h"
#include "app/menu_array.h"
#include "app/serveis.h"
#include "platform/temporitzador.h"
#include "sound/midi_cmd.h"
#include "sound/midi_out.h"
#include "sound/midi_reproductor.h"

#include <QMainWindow>
#include <QSet>

#include <memory>
#include <random>

class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;

namespace brisola {

class caixa_imatge;
class control_mobil;
class forma;
class imatge;
class llista;

class finestra_main : public QMainWindow {
public:
    explicit finestra_main(serveis& s);
    ~finestra_main() override;

    // Start-up and shut-down.
    void Form_Load();
    void Form_Unload(int16_t& Cancel);

    // The catalogue.
    void instruments_carrega();
    void ritmes_carrega();
    void cancons_carrega();

    // The performance dispatcher: a pointer sample in, the next interval out.
    int32_t MUS(int16_t& vertical, int16_t& horitzontal, int32_t& interval);

    // The chord player and the drum sequencer.
    QString ChordNotes(const QString& codi);
    void t_acords_Timer();
    void t_ritmes_Timer();
    // Starts chords and drums together: one chord step at once, the drums a bar later.
    void engega_patrons();

    // The modality and hearing menus.
    void fmus_Click(int16_t Index);
    void rmus_Click(int16_t Index);
    void CMUS_Click(int16_t Index);
    void mn_ritme_Click(int16_t Index);
    void mn_inst_Click(int16_t Index);
    void mn_instrument_Click(int16_t Index);
    void StopAllSound();

    // Translation: the window's controls in their order, and the captions of `idioma` applied to them.
    std::vector<control_traduible> Controls();
    void traduir_formulari();

    // A notice of our own, in the interface language, parented to the window:
    // shown once the window is, and each text only once.
    void avisa(avis a, const QStringList& dades = {});

    // Pictures.
    void fons_carrega(const QString& t);
    void cursor_carrega(const QString& t);

    // Handlers.
    void mn_idioma_Click(int16_t Index);
    void mn_aj_Click();
    void mn_acces_Click(int16_t Index);
    void mn_inv_Click(int16_t Index);
    void mn_pos_Click(int16_t Index);
    void mn_opcions_Click(int16_t Index);
    void mn_img_Click(int16_t Index);
    void mn_carat_Click(int16_t Index);
    void List1_Click();
    void lst_sound_list_Click();
    void Command1_Click();
    void Command2_Click();
    void Command5_Click();
    void sb_play_Change();
    void Picture1_MouseDown(int Button, int Shift, float X, float Y);
    void Picture1_MouseUp(int Button, int Shift, float X, float Y);
    void Bender_MouseMove(int Button, int Shift, float X, float Y);
    void pantalla_MouseMove(int Button, int Shift, float X, float Y);
    void pantalla_Click();
    void pantalla_MouseDown(int Button, int Shift, float X, float Y);
    void pantalla_MouseUp(int Button, int Shift, float X, float Y);
    void T_mouse_Timer();
    void t_joy_Timer();
    void t_tintseer_Timer();
    void T_controll_tintseer_Timer();
    // The tracker's calibration program, started and its window awaited; 0 when none showed.
    uintptr_t seguidor_calibra();
    uintptr_t executa_programa(QString& cami, int16_t& mostra);
    // A joystick came or went: the "Joystick" item follows, as the start-up probe would set it.
    void joystick_canviat();

    // brisola.ini, whatever the case of its name on disk.
    const QString& fitxer_ini() const { return fitxer_ini_; }

    serveis& serveis_;
    estat_compartit estat;
    torn torn_handlers;

    // Controls, in the order the window defines them.
    std::unique_ptr<temporitzador> t_ritmes;
    QGroupBox* Frame1 = nullptr;
    llista* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QScrollBar* sb_play = nullptr;
    caixa_imatge* Picture1 = nullptr;
    QPushButton* Command2 = nullptr;
    llista* lst_sound_list = nullptr;
    caixa_imatge* Bender = nullptr;
    QPushButton* Command5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::unique_ptr<temporitzador> t_acords;
    std::unique_ptr<temporitzador> T_controll_tintseer;
    QFrame* Frame2 = nullptr;
    QLabel* Image1 = nullptr;
    std::unique_ptr<temporitzador> T_mouse;
    caixa_imatge* pantalla = nullptr;
    imatge* u_curs_img = nullptr;
    forma* u_curs_shape = nullptr;
    std::unique_ptr<temporitzador> t_tintseer;
    std::unique_ptr<temporitzador> t_joy;
    QLabel* Label8 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;

    // Menus.
    menu_array mn_op, mn_idioma, mn_opcions;
    menu_array mn_acc, mn_acces, mn_inv, mn_pos;
    menu_array fmus, rmus, CMUS;
    menu_array mn_inst, mn_ritme, mn_instrument;
    menu_array mn_img, mn_carat;
    QAction* mn_id = nullptr;
    QAction* mn_mod = nullptr;
    QAction* mn_au = nullptr;
    QAction* mn_car = nullptr;
    QAction* mn_aj = nullptr;

    // Window-level state.
    control_mobil* cursor_actiu = nullptr;
    int32_t seguidor_estat = 0;
    std::pair<int16_t, int16_t> seguidor_lloc{0, 0}; // the tracker's last place this run, vertical first

    // Modules.
    MIDI_OUT midi_out;
    MIDI_CMD midi_cmd;
    midi_reproductor reproductor;
    modul_joystic joystick;
    webcam sonda_webcam;

    // The instrument-table row of each entry of lst_sound_list, and of each
    // item of mn_instrument after "Fer Silenci" (rows lacking a field get none).
    std::vector<int16_t> files_instrument;

    // Random numbers for the switch's pointer positions.
    std::mt19937 aleatori{std::random_device{}()};

protected:
    void closeEvent(QCloseEvent* event) override;
    // A single switch most often sends a key: any key but a shortcut presses it.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void crea_controls();
    void crea_panell_test(QWidget* area);
    void crea_menus();
    void connecta_handlers();
    void connecta(temporitzador& timer, std::function<void()> handler);
    // Runs a handler through the window's one-at-a-time rule.
    void executa(const void* clau, const std::function<void()>& handler) { torn_handlers.executa(clau, handler); }

    void mostra_avisos_pendents();
    // Stops a chosen song and gives the instrument its MIDI output back.
    void atura_canco();
    // Bank 0 and the program of that instrument-table row, on channel 0.
    void tria_instrument(int16_t fila);
    void marca_idioma();
    void avisa_si_illegible();
    std::optional<int> files_de(const QString& seccio);
    void carrega_seccio(const QString& seccio_compte, const QString& seccio, const QStringList& camps,
                        taula_cataleg& taula, menu_array& items, QMenu* submenu);
    void prova_seguidor();
    void prova_biblioteca_seguidor();
    void activa_seguidor(bool actiu);
    void prova_joystick();
    void mostra_superficie();
    bool pulsador() const { return mn_acces.Checked(3); }

    QString fitxer_ini_;
    std::vector<std::pair<avis, QStringList>> avisos_pendents_;
    QSet<QString> avisos_mostrats_;
    QWidget* area_ = nullptr;
    int tecla_pulsador_ = 0; // the key holding the switch down, 0 when none
    bool descarregada_ = false; // Form_Unload has run and let the window close
    int16_t sb_darrer_ = 0;     // the scroll bar's note last played, to silence first
    float bender_darrer_ = 0;   // where the bend strip's marker stands
    int16_t teclat_nota_ = 0;   // the keyboard strip's note last pressed, which its release ends
};

} // namespace brisola
