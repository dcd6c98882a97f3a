// Module SysEx for the chaos host: random voice and bank dumps built here, their damage, and an
// independent model of what the plug-in must take from a host's SysEx events.

#include "ChaosSysEx.h"

#include <algorithm>
#include <cstdio>

namespace chaos {

namespace {

constexpr std::size_t kCapacity = 8192; // the plug-in's receive buffer keeps this much
constexpr std::size_t kSingleEnd = 138; // position of the F7 of a single-voice dump
constexpr std::size_t kBankStart = 74;  // first voice block of a bank dump
constexpr std::size_t kBankBlock = 131; // two count bytes, 128 nibbles, checksum
constexpr std::size_t kBankEnd = kBankStart + 48 * kBankBlock;

std::uint8_t Checksum(const Bytes& bytes, std::size_t from, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = from; i < from + count; ++i) sum += bytes[i];
    return static_cast<std::uint8_t>((0u - sum) & 0x7F);
}

void AppendVoice(Bytes& out, std::mt19937_64& rng) {
    std::size_t start = out.size();
    for (int i = 0; i < 64; ++i) {
        std::uint8_t byte = static_cast<std::uint8_t>(rng());
        if (i < 7) byte = static_cast<std::uint8_t>(' ' + rng() % 95); // a printable name
        out.push_back(byte & 0x0F);
        out.push_back(byte >> 4);
    }
    out.push_back(Checksum(out, start, 128));
}

// The byte at i, or 0xFF past the end, as the plug-in reads it.
std::uint8_t At(const Bytes& m, std::size_t i) {
    return i < m.size() ? m[i] : 0xFF;
}

bool DataBytesUpTo(const Bytes& m, std::size_t end) {
    for (std::size_t i = 1; i < end; ++i)
        if (At(m, i) & 0x80) return false;
    return true;
}

} // namespace

Bytes RandomVoiceDump(std::mt19937_64& rng) {
    Bytes out = {0xF0,
                 0x43,
                 0x75,
                 static_cast<std::uint8_t>(rng() % 16),
                 static_cast<std::uint8_t>(0x08 + rng() % 8),
                 0x00,
                 0x00,
                 0x01,
                 0x00};
    AppendVoice(out, rng);
    out.push_back(0xF7);
    return out;
}

Bytes RandomBankDump(std::mt19937_64& rng) {
    Bytes out = {0xF0, 0x43, 0x75, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(rng() % 2),
                 0x00, 0x40};
    for (int i = 0; i < 64; ++i) out.push_back(static_cast<std::uint8_t>(rng() % 128));
    out.push_back(static_cast<std::uint8_t>(rng() % 128)); // header checksum: not examined
    for (int v = 0; v < 48; ++v) {
        out.push_back(0x01);
        out.push_back(0x00);
        AppendVoice(out, rng);
    }
    out.push_back(0xF7);
    return out;
}

Bytes Mutate(Bytes m, std::mt19937_64& rng, std::string& how) {
    auto pick = [&](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng() % n); };
    char text[96];
    switch (rng() % 9) {
    case 0:
        how = "intact";
        break;
    case 1: { // one to three flipped bits anywhere
        int flips = 1 + static_cast<int>(rng() % 3);
        how = "bits";
        for (int f = 0; f < flips; ++f) {
            std::size_t at = pick(m.size());
            int bit = static_cast<int>(rng() % 8);
            m[at] = static_cast<std::uint8_t>(m[at] ^ (1 << bit));
            std::snprintf(text, sizeof text, " %zu:%d", at, bit);
            how += text;
        }
        break;
    }
    case 2: { // bit 7 of one data byte: passes every checksum
        std::size_t at = 1 + pick(m.size() - 2);
        m[at] |= 0x80;
        std::snprintf(text, sizeof text, "high bit at %zu", at);
        how = text;
        break;
    }
    case 3: { // cut short, with or without a closing F7
        std::size_t length = pick(m.size());
        m.resize(length);
        if (rng() % 2) m.push_back(0xF7);
        std::snprintf(text, sizeof text, "cut to %zu%s", length, m.size() > length ? "+F7" : "");
        how = text;
        break;
    }
    case 4: { // a changed byte count or header byte
        std::size_t at = std::min<std::size_t>(m.size() - 1, 3 + pick(7));
        if (m.size() > kBankStart + 2 && rng() % 2) at = kBankStart + kBankBlock * pick(48);
        at = std::min(at, m.size() - 1);
        m[at] = static_cast<std::uint8_t>(rng() % 128);
        std::snprintf(text, sizeof text, "field at %zu = %u", at, m[at]);
        how = text;
        break;
    }
    case 5: { // a run of garbage
        std::size_t at = pick(m.size());
        std::size_t length = std::min<std::size_t>(m.size() - at, 1 + pick(40));
        for (std::size_t i = 0; i < length; ++i) m[at + i] = static_cast<std::uint8_t>(rng());
        std::snprintf(text, sizeof text, "garbage %zu+%zu", at, length);
        how = text;
        break;
    }
    case 6: { // real-time bytes between the bytes: dropped, the dump stays good
        int count = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < count; ++i)
            m.insert(m.begin() + static_cast<long>(1 + pick(m.size() - 1)),
                     static_cast<std::uint8_t>(0xF8 + rng() % 8));
        std::snprintf(text, sizeof text, "%d real-time bytes", count);
        how = text;
        break;
    }
    case 7: { // a byte inserted or removed: everything after it shifts
        std::size_t at = 1 + pick(m.size() - 1);
        if (rng() % 2) {
            m.insert(m.begin() + static_cast<long>(at), static_cast<std::uint8_t>(rng() % 128));
            how = "inserted";
        } else {
            m.erase(m.begin() + static_cast<long>(at));
            how = "removed";
        }
        std::snprintf(text, sizeof text, " byte at %zu", at);
        how += text;
        break;
    }
    default: { // pure garbage of any length
        Bytes garbage(pick(300));
        for (auto& b : garbage) b = static_cast<std::uint8_t>(rng());
        if (rng() % 2) garbage.insert(garbage.begin(), 0xF0);
        if (rng() % 2) garbage.push_back(0xF7);
        m.swap(garbage);
        how = "garbage";
        break;
    }
    }
    return m;
}

std::vector<Bytes> Split(const Bytes& message, std::mt19937_64& rng) {
    std::vector<Bytes> events;
    int pieces = 1 + static_cast<int>(rng() % 8);
    std::vector<std::size_t> cuts;
    for (int i = 1; i < pieces && !message.empty(); ++i) cuts.push_back(rng() % message.size());
    cuts.push_back(0);
    cuts.push_back(message.size());
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i)
        if (cuts[i + 1] > cuts[i])
            events.emplace_back(message.begin() + static_cast<long>(cuts[i]),
                                message.begin() + static_cast<long>(cuts[i + 1]));
    return events;
}

std::string Hex(const Bytes& bytes, std::size_t limit) {
    std::string text;
    char part[4];
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(part, sizeof part, "%02X ", bytes[i]);
        text += part;
    }
    if (bytes.size() > limit) text += "...";
    return text;
}

// Where two chunks part, for the failure message.
std::string Difference(const Bytes& a, const Bytes& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
           ", first difference at " + std::to_string(at) + ": " +
           Hex(Bytes(a.begin() + static_cast<long>(std::min(at, a.size())), a.end()), 12) + "/ " +
           Hex(Bytes(b.begin() + static_cast<long>(std::min(at, b.size())), b.end()), 12);
}

SysExOracle::Verdict SysExOracle::Feed(const Bytes& event) {
    Bytes kept;
    for (std::uint8_t b : event)
        if (b < 0xF8) kept.push_back(b);
    if (kept.empty()) return Verdict::None;
    if (kept.front() == 0xF0) joined_.clear();
    for (std::uint8_t b : kept)
        if (joined_.size() < kCapacity) joined_.push_back(b);
    if (kept.back() != 0xF7) return Verdict::None;

    const Bytes& m = joined_;
    if (m.empty() || m[0] != 0xF0) return Verdict::Refused;
    for (std::size_t i = 1; i < m.size() && m[i] != 0xF7; ++i)
        if (m[i] & 0x80) return Verdict::Refused;
    if (m.size() < 7 || m[1] != 0x43 || m[2] != 0x75) return Verdict::Refused;
    if (m[4] >= 0x18 && m[4] <= 0x1F)
        return m.size() >= 8 ? Verdict::ParamChange : Verdict::Refused;
    if (m[4] >= 0x08 && m[4] <= 0x0F && m[5] == 0 && m[6] == 0) {
        bool good = At(m, kSingleEnd) == 0xF7 && DataBytesUpTo(m, kSingleEnd) &&
                    At(m, kSingleEnd - 1) == Checksum(m, 9, 128);
        return good ? Verdict::VoiceData : Verdict::Refused;
    }
    if (m[4] != 0 || m[5] != 0) return Verdict::Refused;
    if (At(m, kBankEnd) != 0xF7 || !DataBytesUpTo(m, kBankEnd)) return Verdict::Refused;
    for (std::size_t v = 0; v < 48; ++v) {
        std::size_t nibbles = kBankStart + v * kBankBlock + 2;
        if (m[nibbles + 128] != Checksum(m, nibbles, 128)) return Verdict::Refused;
    }
    return Verdict::VoiceData;
}

} // namespace chaos
