#pragma once
// The registry as a read-only file in the text export format that the
// tracker's installation writes: [HKEY_…\key] sections of "name"=value lines,
// "text", dword:, hex: and hex(n): values, @ for a key's default value.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

namespace brisola {

enum : uint32_t { REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };

struct valor_registre {
    uint32_t tipus = 0;
    QByteArray dades; // as the registry stores them: a text with its terminating zero, a dword low byte first
};

class registre_fitxer {
public:
    // A file that is missing or unreadable is an empty registry.
    explicit registre_fitxer(const QString& fitxer);
    // The registry written in these bytes.
    static registre_fitxer de_bytes(const QByteArray& bytes);
    // The value `nom` ("" for the default value) of `clau` (hive and path, any case); none when absent.
    std::optional<valor_registre> valor(const QString& clau, const QString& nom) const;

private:
    registre_fitxer() = default;
    void llegeix(const QByteArray& bytes);
    std::map<QString, std::map<QString, valor_registre>> claus_; // upper-cased key -> upper-cased name -> value
};

} // namespace brisola
