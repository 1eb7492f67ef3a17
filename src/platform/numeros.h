#pragma once
// The number rules the instrument's behaviour depends on, in one place:
// nearest with halves to even, checked 16-bit arithmetic, lenient hexadecimal,
// leading number, strict number, and decimal text with its leading blank.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brisola {

// A run-time error of one step (overflow, bad conversion, division by zero).
// The continue-on-error rule swallows exactly these.
class error_execucio : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Checked narrowing to 16 bits: a value outside -32768..32767 is an overflow.
int16_t c16(long long v);
int32_t c32(long long v);

// Nearest integer, a value exactly halfway going to the even neighbour.
int16_t nearest(double v);
int32_t nearest32(double v);

// Largest integer not above v / v with its fraction dropped; 16-bit checked.
int16_t floor16(double v);
int16_t trunc16(double v);

// Division that reports a zero divisor as an error instead of producing inf.
double divideix(double a, double b);

// Value of "&H" + t: blanks ignored, digits read up to the first non-digit, none gives 0.
long hexval(std::string_view t);

// Numeric prefix of t (blanks, tabs and line feeds skipped anywhere; exponent,
// "&H" and "&O" understood; point as decimal separator), 0 when there is none.
double leading_number(std::string_view t);

// Strict decimal conversion; blanks around the number allowed, anything else is an error.
double number(std::string_view t);

// Decimal text of n with a leading blank when n is not negative: text(60) == " 60".
std::string text(long long n);
inline std::string text(int n) { return text(static_cast<long long>(n)); }
std::string text(double n);
// The same without the blank.
std::string trimmed(long long n);

// t without leading and trailing blanks (spaces and tabs).
std::string_view sense_blancs(std::string_view t);

// Runs one step under the continue-on-error rule: its run-time error is
// swallowed so that the next step still runs.
template <class F>
void continua_si_falla(F&& pas) {
    try {
        pas();
    } catch (const error_execucio&) {
    }
}

} // namespace brisola
