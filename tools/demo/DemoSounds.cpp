#include "DemoSounds.h"

#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace demo {

namespace {

constexpr int kRate = 22050;

void putLe16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putLe32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

bool writeChime(const QString &path, const QList<double> &notes, int gapMs, int ringMs, QString *error)
{
    const qsizetype ring = qsizetype(kRate) * ringMs / 1000;
    const qsizetype gap = qsizetype(kRate) * gapMs / 1000;
    const qsizetype total = notes.isEmpty() ? 0 : gap * (notes.size() - 1) + ring;
    std::vector<double> mix(size_t(total), 0.0);
    for (qsizetype n = 0; n < notes.size(); ++n) {
        const double omega = 2.0 * std::numbers::pi * notes.at(n) / kRate;
        for (qsizetype i = 0; i < ring; ++i) {
            // A few milliseconds of attack avoid a click; the decay makes it a chime, not a beep.
            const double attack = std::min(1.0, double(i) / (kRate * 0.004));
            const double decay = std::exp(-5.0 * double(i) / double(ring));
            // A quiet octave above gives the tone a little brightness.
            const double tone = std::sin(omega * double(i)) + 0.25 * std::sin(2.0 * omega * double(i));
            mix[size_t(n * gap + i)] += attack * decay * tone;
        }
    }
    double peak = 0.0;
    for (const double v : mix)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0.0 ? 0.6 * 32767.0 / peak : 0.0;

    const quint32 dataBytes = quint32(total * 2);
    QByteArray wav;
    wav.reserve(44 + qsizetype(dataBytes));
    wav.append("RIFF");
    putLe32(wav, 36 + dataBytes);
    wav.append("WAVEfmt ");
    putLe32(wav, 16); // PCM format block
    putLe16(wav, 1); // PCM
    putLe16(wav, 1); // mono
    putLe32(wav, kRate);
    putLe32(wav, kRate * 2); // bytes per second
    putLe16(wav, 2); // bytes per frame
    putLe16(wav, 16); // bits per sample
    wav.append("data");
    putLe32(wav, dataBytes);
    for (const double v : mix)
        putLe16(wav, quint16(qint16(std::lround(v * scale))));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool writeDemoSounds(const QString &folder, QString *error)
{
    // E5 then A5; C5, E5, G5.
    return writeChime(folder + QStringLiteral("/enquiry.wav"), { 659.25, 880.0 }, 140, 520, error)
        && writeChime(folder + QStringLiteral("/signup.wav"), { 523.25, 659.25, 783.99 }, 110, 480, error);
}

} // namespace demo
