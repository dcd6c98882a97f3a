#include "SmfReader.h"

#include <algorithm>
#include <cstdio>

namespace vorna_tool {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note (120 bpm)

// A bounded cursor over the bytes of one chunk.
class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return position_ >= size_; }
    bool Byte(std::uint8_t& value) {
        if (position_ >= size_) return false;
        value = data_[position_++];
        return true;
    }
    // A variable-length quantity of at most four bytes.
    bool Vlq(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b;
            if (!Byte(b)) return false;
            value = (value << 7) | (b & 0x7Fu);
            if (!(b & 0x80)) return true;
        }
        return false; // longer than four bytes: not a valid quantity
    }
    bool Skip(std::uint32_t count) {
        if (count > size_ - position_) {
            position_ = size_;
            return false;
        }
        position_ += count;
        return true;
    }
    const std::uint8_t* Here() const { return data_ + position_; }
    std::size_t Left() const { return size_ - position_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

std::uint32_t Big32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

int DataBytesOf(std::uint8_t status) {
    int kind = status >> 4;
    return (kind == 0xC || kind == 0xD) ? 1 : 2;
}

struct TickEvent {
    std::uint64_t tick;
    int track;
    int sequence;
    bool tempo;          // a tempo change rather than a message
    std::uint32_t value; // tempo in microseconds per quarter note
    std::uint8_t bytes[3];
};

// Reads one track into events; returns an empty text when the track was complete.
std::string ReadTrack(Cursor cursor, int track, std::vector<TickEvent>& events,
                      std::uint64_t& endTick) {
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    int sequence = 0;
    while (!cursor.AtEnd()) {
        std::uint32_t delta;
        if (!cursor.Vlq(delta)) return "a delta time runs past the end of the track";
        tick += delta;
        endTick = std::max(endTick, tick);
        std::uint8_t first;
        if (!cursor.Byte(first)) return "an event is missing after its delta time";
        // Data bytes with no status to run on are damage: skipped up to the next status byte.
        while (!(first & 0x80) && !running)
            if (!cursor.Byte(first)) return "the track ends in data bytes without a status";
        if (first == 0xFF) {
            running = 0;
            std::uint8_t type;
            std::uint32_t length;
            if (!cursor.Byte(type) || !cursor.Vlq(length)) return "a meta event is cut short";
            if (length > cursor.Left()) return "a meta event runs past the end of the track";
            if (type == 0x51 && length >= 3) {
                const std::uint8_t* p = cursor.Here();
                std::uint32_t tempo = static_cast<std::uint32_t>(p[0]) << 16 |
                                      static_cast<std::uint32_t>(p[1]) << 8 | p[2];
                if (tempo > 0) events.push_back({tick, track, sequence++, true, tempo, {0, 0, 0}});
            }
            cursor.Skip(length);
            if (type == 0x2F) return "";
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            running = 0;
            std::uint32_t length;
            if (!cursor.Vlq(length)) return "a SysEx event is cut short";
            if (!cursor.Skip(length)) return "a SysEx event runs past the end of the track";
            continue;
        }
        std::uint8_t status = first;
        std::uint8_t bytes[3] = {0, 0, 0};
        int have = 0;
        if (first & 0x80) {
            if (first >= 0xF0) continue; // other system bytes carry nothing for the instrument
            running = first;
        } else {
            status = running;
            bytes[1] = first;
            have = 1;
        }
        bytes[0] = status;
        int needed = DataBytesOf(status);
        for (int i = have; i < needed; ++i) {
            std::uint8_t b;
            if (!cursor.Byte(b)) return "a channel message is cut short";
            bytes[1 + i] = b & 0x7F;
        }
        TickEvent event{tick, track, sequence++, false, 0, {bytes[0], bytes[1], bytes[2]}};
        events.push_back(event);
    }
    return "the track ends without an end-of-track event";
}

} // namespace

MidiSong ReadMidiSong(const std::vector<std::uint8_t>& bytes) {
    MidiSong song;
    const std::uint8_t* data = bytes.data();
    std::size_t size = bytes.size();
    if (size < 14 || Big32(data) != 0x4D546864u) { // "MThd"
        song.problem = "not a Standard MIDI File (no MThd header)";
        return song;
    }
    std::uint32_t headerLength = Big32(data + 4);
    if (headerLength < 6 || headerLength > size - 8) {
        song.problem = "the MIDI file header is damaged";
        return song;
    }
    song.format = data[8] << 8 | data[9];
    int declaredTracks = data[10] << 8 | data[11];
    int division = data[12] << 8 | data[13];
    if (song.format > 1) {
        song.problem =
            "MIDI file format " + std::to_string(song.format) + " is not supported (only 0 and 1)";
        return song;
    }
    if (division == 0) {
        song.problem = "the MIDI file has a time division of 0";
        return song;
    }
    song.usable = true;

    std::vector<TickEvent> events;
    std::uint64_t endTick = 0;
    std::size_t position = 8 + headerLength;
    int track = 0;
    while (position + 8 <= size && track < declaredTracks) {
        std::uint32_t id = Big32(data + position);
        std::uint32_t length = Big32(data + position + 4);
        position += 8;
        std::size_t available = std::min<std::size_t>(length, size - position);
        if (id == 0x4D54726Bu) { // "MTrk"
            std::string problem =
                ReadTrack(Cursor(data + position, available), track, events, endTick);
            if (available < length && song.problem.empty()) song.problem = "the file is truncated";
            if (!problem.empty() && song.problem.empty())
                song.problem = "track " + std::to_string(track + 1) + ": " + problem;
            ++track;
        }
        position += available;
    }
    song.trackCount = track;
    if (track < declaredTracks && song.problem.empty())
        song.problem = "the file holds " + std::to_string(track) + " of " +
                       std::to_string(declaredTracks) + " tracks";

    std::stable_sort(events.begin(), events.end(), [](const TickEvent& a, const TickEvent& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.tempo != b.tempo)
            return a.tempo; // a tempo change applies before messages at its tick
        if (a.track != b.track) return a.track < b.track;
        return a.sequence < b.sequence;
    });

    // Ticks to seconds: per quarter note with the tempo map, or fixed SMPTE frames.
    bool smpte = (division & 0x8000) != 0;
    double secondsPerTickSmpte = 0.0;
    if (smpte) {
        int fps = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
        int perFrame = division & 0xFF;
        double frames = fps == 29 ? 29.97 : fps;
        if (fps <= 0 || perFrame == 0) {
            song.problem = "the MIDI file has an invalid SMPTE time division";
            return song;
        }
        secondsPerTickSmpte = 1.0 / (frames * perFrame);
    }
    double ticksPerQuarter = smpte ? 1.0 : division;
    std::uint32_t tempo = kDefaultTempo;
    std::uint64_t lastTick = 0;
    double seconds = 0.0;
    auto advance = [&](std::uint64_t tick) {
        double ticks = static_cast<double>(tick - lastTick);
        seconds += smpte ? ticks * secondsPerTickSmpte : ticks * (tempo / 1e6) / ticksPerQuarter;
        lastTick = tick;
    };
    for (const TickEvent& event : events) {
        advance(event.tick);
        if (event.tempo) {
            tempo = event.value;
            continue;
        }
        song.events.push_back({seconds, event.bytes[0], event.bytes[1], event.bytes[2]});
    }
    advance(std::max(endTick, lastTick));
    song.lengthSeconds = seconds;
    return song;
}

bool ReadMidiFile(const std::string& path, MidiSong& song, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    song = ReadMidiSong(bytes);
    if (!song.usable) {
        error = path + ": " + song.problem;
        return false;
    }
    return true;
}

} // namespace vorna_tool
