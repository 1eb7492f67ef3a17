#include "configuracio.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tintseer {

namespace {

std::string en_hexadecimal(const std::vector<unsigned char>& bytes) {
    static const char xifres[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) text += {xifres[b >> 4], xifres[b & 15]};
    return text;
}

// A damaged line gives what it holds up to the damage.
std::vector<unsigned char> de_hexadecimal(const std::string& text) {
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        auto xifra = [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) ? std::stoi(std::string(1, c), nullptr, 16) : -1;
        };
        int alta = xifra(text[i]), baixa = xifra(text[i + 1]);
        if (alta < 0 || baixa < 0) break;
        bytes.push_back(static_cast<unsigned char>(alta * 16 + baixa));
    }
    return bytes;
}

} // namespace

std::string configuracio::cami() {
    if (const char* propi = std::getenv("TINTSEER_CONFIG"); propi && *propi) return propi;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string base = xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.config";
    return base + "/tintseer/tintseer.conf";
}

configuracio configuracio::llegeix() {
    configuracio c;
    std::ifstream f(cami());
    std::string linia;
    while (std::getline(f, linia)) {
        auto igual = linia.find('=');
        if (igual == std::string::npos) continue;
        std::string clau = linia.substr(0, igual), valor = linia.substr(igual + 1);
        std::istringstream nombres(valor);
        char coma = 0;
        if (clau == "color") nombres >> c.to >> coma >> c.saturacio >> coma >> c.valor;
        else if (clau == "tolerancia") nombres >> c.tolerancia;
        else if (clau == "area") nombres >> c.area;
        else if (clau == "histograma")
            for (int bin = 0; nombres >> bin; nombres >> coma) c.histograma.push_back(bin);
        else if (clau == "font") c.font = valor;
        else if (clau == "segueix") c.segueix = valor == "punt" ? manera::punt : manera::color;
        else if (clau == "plantilla") c.plantilla = de_hexadecimal(valor);
    }
    if (c.plantilla.size() != size_t(costat_plantilla * costat_plantilla)) c.segueix = manera::color;
    return c;
}

bool configuracio::desa() const {
    std::filesystem::path p(cami());
    std::error_code error;
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), error);
    // Written aside and renamed over, so a reader never sees half a file.
    std::filesystem::path nou = p;
    nou += ".nou";
    {
        std::ofstream f(nou);
        f << "color=" << to << ',' << saturacio << ',' << valor << "\ntolerancia=" << tolerancia << '\n';
        if (area > 0) f << "area=" << area << '\n';
        for (size_t i = 0; i < histograma.size(); ++i) f << (i == 0 ? "histograma=" : ",") << histograma[i];
        if (!histograma.empty()) f << '\n';
        if (!font.empty()) f << "font=" << font << '\n';
        if (segueix == manera::punt) f << "segueix=punt\n";
        if (!plantilla.empty()) f << "plantilla=" << en_hexadecimal(plantilla) << '\n';
        if (!f.flush()) return false;
    }
    std::filesystem::rename(nou, p, error);
    return !error;
}

} // namespace tintseer
