#include "pbkdf2.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <array>
#include <cstdint>

// PBKDF2 spends nearly all its time in HMAC-SHA256 of one 32-byte block. The key's inner and
// outer pads are the same for every round, so their compression is done once and kept: each
// round then compresses two blocks instead of four, which the library's HMAC cannot do. The
// first round, whose message is the salt, goes through the library; the tests compare the
// whole with Qt's own PBKDF2.
namespace {

using State = std::array<uint32_t, 8>;
constexpr uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
constexpr State kInit = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
inline uint32_t rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}
void compress(State& s, const uint32_t* block)
{
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = block[i];
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = s[0], b = s[1], c = s[2], d = s[3], e = s[4], f = s[5], g = s[6], h = s[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[i] + w[i];
        const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    s[0] += a;
    s[1] += b;
    s[2] += c;
    s[3] += d;
    s[4] += e;
    s[5] += f;
    s[6] += g;
    s[7] += h;
}
} // namespace
QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations)
{
    if (iterations < 1)
        return QByteArray();
    QByteArray key = password.size() > 64 ? QCryptographicHash::hash(password, QCryptographicHash::Sha256) : password;
    key.resize(64, '\0');
    uint32_t ipad[16], opad[16];
    for (int i = 0; i < 16; ++i) {
        uint32_t k = (uint32_t(uint8_t(key[4 * i])) << 24) | (uint32_t(uint8_t(key[4 * i + 1])) << 16) |
                     (uint32_t(uint8_t(key[4 * i + 2])) << 8) | uint8_t(key[4 * i + 3]);
        ipad[i] = k ^ 0x36363636u;
        opad[i] = k ^ 0x5c5c5c5cu;
    }
    State inner = kInit, outer = kInit;
    compress(inner, ipad);
    compress(outer, opad);
    // U1 = HMAC(salt || INT(1)), by the library, as its message may be of any length.
    const QByteArray first =
        QMessageAuthenticationCode::hash(salt + QByteArray("\0\0\0\1", 4), password, QCryptographicHash::Sha256);
    uint32_t u[16] = {}, t[8];
    for (int i = 0; i < 8; ++i)
        u[i] = (uint32_t(uint8_t(first[4 * i])) << 24) | (uint32_t(uint8_t(first[4 * i + 1])) << 16) |
               (uint32_t(uint8_t(first[4 * i + 2])) << 8) | uint8_t(first[4 * i + 3]);
    u[8] = 0x80000000u;
    for (int i = 9; i < 15; ++i)
        u[i] = 0;
    u[15] = (64 + 32) * 8;
    for (int i = 0; i < 8; ++i)
        t[i] = u[i];
    for (int n = 1; n < iterations; ++n) {
        State s = inner;
        compress(s, u);
        for (int i = 0; i < 8; ++i)
            u[i] = s[i];
        s = outer;
        compress(s, u);
        for (int i = 0; i < 8; ++i) {
            u[i] = s[i];
            t[i] ^= s[i];
        }
    }
    QByteArray out(32, 0);
    for (int i = 0; i < 8; ++i) {
        out[4 * i] = char(t[i] >> 24);
        out[4 * i + 1] = char(t[i] >> 16);
        out[4 * i + 2] = char(t[i] >> 8);
        out[4 * i + 3] = char(t[i]);
    }
    return out;
}
