#include "numeros.h"

#include <cctype>
#include <cfenv>
#include <cmath>
#include <charconv>
#include <limits>

namespace brisola {

namespace {

bool es_blanc(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string sense_cap_blanc(std::string_view t) {
    std::string net;
    for (char c : t)
        if (!es_blanc(c)) net += c;
    return net;
}

int valor_digit(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// "&H"/"&O" literals of up to 16 bits are 16-bit integers, so &HFFFF is -1;
// longer ones are 32-bit.
long literal_amb_base(std::string_view digits, int base) {
    unsigned long long v = 0;
    size_t n = 0;
    for (; n < digits.size(); ++n) {
        int d = valor_digit(digits[n], base);
        if (d < 0) break;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) throw error_execucio("desbordament");
    }
    if (v <= 0xFFFF && (base == 16 ? n <= 4 : n <= 6)) return v > 0x7FFF ? long(v) - 0x10000 : long(v);
    return v > 0x7FFFFFFF ? long(v) - 0x100000000L : long(v);
}

// Length of the decimal number at the start of t (sign, digits, point, exponent), 0 when none.
size_t llargada_decimal(std::string_view t) {
    size_t i = 0, digits = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        size_t inici = j;
        while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j;
        if (j > inici) i = j;
    }
    return i;
}

// from_chars reads the point whatever the process locale (our users' locales use the comma).
double llegeix_decimal(std::string_view t) {
    std::string s(t);
    for (char& c : s)
        if (c == 'd' || c == 'D' || c == 'E') c = 'e';
    size_t inici = !s.empty() && s[0] == '+' ? 1 : 0;
    double v = 0;
    std::errc error = std::from_chars(s.data() + inici, s.data() + s.size(), v).ec;
    bool exponent_negatiu = s.find("e-") != std::string::npos;
    if (error == std::errc::result_out_of_range && exponent_negatiu) return 0.0; // too small reads as 0
    if (error != std::errc() || !std::isfinite(v)) throw error_execucio("desbordament");
    return v;
}

double arrodoneix(double v) {
    if (!std::isfinite(v)) throw error_execucio("desbordament");
    std::fesetround(FE_TONEAREST);
    return std::nearbyint(v);
}

} // namespace

int16_t c16(long long v) {
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        throw error_execucio("desbordament");
    return static_cast<int16_t>(v);
}

int32_t c32(long long v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw error_execucio("desbordament");
    return static_cast<int32_t>(v);
}

static long long a_enter(double v) {
    if (std::fabs(v) > 9.0e15) throw error_execucio("desbordament");
    return static_cast<long long>(v);
}

int16_t nearest(double v) { return c16(a_enter(arrodoneix(v))); }
int32_t nearest32(double v) { return c32(a_enter(arrodoneix(v))); }

int16_t floor16(double v) {
    if (!std::isfinite(v)) throw error_execucio("desbordament");
    return c16(a_enter(std::floor(v)));
}

int16_t trunc16(double v) {
    if (!std::isfinite(v)) throw error_execucio("desbordament");
    return c16(a_enter(std::trunc(v)));
}

double divideix(double a, double b) {
    if (b == 0) throw error_execucio("divisio per zero");
    return a / b;
}

long hexval(std::string_view t) { return literal_amb_base(sense_cap_blanc(t), 16); }

double leading_number(std::string_view t) {
    std::string net = sense_cap_blanc(t);
    if (net.size() >= 2 && net[0] == '&') {
        char prefix = static_cast<char>(std::toupper(static_cast<unsigned char>(net[1])));
        if (prefix == 'H') return literal_amb_base(std::string_view(net).substr(2), 16);
        if (prefix == 'O') return literal_amb_base(std::string_view(net).substr(2), 8);
    }
    size_t n = llargada_decimal(net);
    return n == 0 ? 0.0 : llegeix_decimal(std::string_view(net).substr(0, n));
}

double number(std::string_view t) {
    std::string_view net = sense_blancs(t);
    size_t n = llargada_decimal(net);
    if (n == 0 || n != net.size()) throw error_execucio("conversio");
    return llegeix_decimal(net);
}

std::string text(long long n) { return n < 0 ? std::to_string(n) : " " + std::to_string(n); }

std::string text(double n) {
    char bufer[32];
    auto fi = std::to_chars(bufer, bufer + sizeof bufer, n, std::chars_format::general, 15).ptr;
    std::string t(bufer, fi);
    for (char& c : t) c = char(std::toupper(static_cast<unsigned char>(c)));
    return n < 0 ? t : " " + t;
}

std::string trimmed(long long n) { return std::to_string(n); }

std::string_view sense_blancs(std::string_view t) {
    size_t a = t.find_first_not_of(" \t");
    if (a == std::string_view::npos) return {};
    size_t b = t.find_last_not_of(" \t");
    return t.substr(a, b - a + 1);
}

} // namespace brisola
