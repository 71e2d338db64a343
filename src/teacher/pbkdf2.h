#pragma once

#include <QByteArray>

// PBKDF2-HMAC-SHA256 (RFC 8018) with a 32-byte key, as the teacher's password is kept.
QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations);
