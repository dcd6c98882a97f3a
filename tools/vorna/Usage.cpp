#include "Usage.h"

namespace vorna_tool {

namespace {

struct CommandHelp {
    const char* name;
    const char* text;
};

const char kOverview[] =
    "usage: vorna <command> [options]\n"
    "\n"
    "Voice files (FB-01 .syx dumps, .fxb bank files, .fxp program files):\n"
    "  list FILE...            what each file holds: messages, voices, programs\n"
    "  convert IN OUT          convert a file by the extensions of IN and OUT\n"
    "  convert IN... --out-dir DIR\n"
    "                          convert many files (or folders of them) in one call\n"
    "  audition DIR... --out-dir DIR\n"
    "                          a short WAV file of every voice and a page to hear them\n"
    "\n"
    "The plug-in:\n"
    "  render [PLUGIN] [SONG.mid] [options]\n"
    "                          play a MIDI file or the demo phrase into a WAV file\n"
    "  info PLUGIN             load the plug-in binary and print its identity and parameters\n"
    "  screenshot OUT.png [PLUGIN] [--scale PERCENT]\n"
    "                          draw the editor offscreen into a PNG file\n"
    "\n"
    "vorna COMMAND --help describes a command and its options.\n";

const CommandHelp kCommands[] = {
    {"list", "usage: vorna list [--json] FILE...\n"
             "Prints what each voice file holds. A folder stands for the .syx, .fxb and .fxp\n"
             "files directly inside it.\n"
             "  .syx  every FB-01 message found in the file, with its position and kind, and\n"
             "        the voices of voice dumps (number, name, algorithm 1-8, feedback 0-7);\n"
             "        problems (cut off, bad checksum, junk before the first message, more\n"
             "        than one message) are named\n"
             "  .fxb  the programs 0-335 with voice bank and number (1-01 to 7-48) and name\n"
             "  .fxp  the program's name\n"
             "Options:\n"
             "  --json    the same as JSON: {\"files\": [{\"path\", \"type\", \"error\" or\n"
             "            \"warnings\", \"messages\" or \"programs\"}]}\n"
             "A file that cannot be read gets one line saying what is wrong and where; the\n"
             "others are listed all the same. Exit code 1 when any file could not be read.\n"},
    {"convert",
     "usage: vorna convert IN OUT [options]\n"
     "       vorna convert IN... --out-dir DIR [options]\n"
     "Converts voice files with the plug-in's own readers and writers:\n"
     "  .syx -> .fxb    the voices of the dump as voice bank 1 (or --bank N) of a bank\n"
     "                  file; every other program is the initialised program \"Init\"\n"
     "  .syx -> .fxp    a single-voice dump (or --voice N of a bank dump) as a program file\n"
     "  .syx -> FOLDER  one program file per voice, \"01 Name.fxp\" to \"48 Name.fxp\"\n"
     "                  (OUT without a .syx/.fxb/.fxp extension is a folder)\n"
     "  .fxb -> .syx    voice bank N (--bank N) as a voice-bank dump; without --bank all\n"
     "                  voice banks as OUT-bank1.syx to OUT-bank7.syx\n"
     "  .fxp -> .syx    the program as a single-voice dump\n"
     "Options:\n"
     "  --out-dir DIR   convert every IN (files, or folders of voice files) into DIR,\n"
     "                  named after the input; a line per file and a summary are printed\n"
     "  --to FORM       with --out-dir: syx, fxb, fxp (a folder of program files per\n"
     "                  .syx input); default: .syx to fxb, .fxb and .fxp to syx\n"
     "  --bank N        voice bank 1-7 (see above)\n"
     "  --voice N       voice 1-48 of a bank dump, for a single .fxp file\n"
     "  --force         replace existing output files (never replaced without it)\n"
     "Only the message at the start of a .syx file counts, as in the plug-in. A file that\n"
     "cannot be converted is named with the reason and nothing is written for it. Every\n"
     "file is written whole to a temporary file first and then put in place.\n"
     "Exit code 0 when everything was converted, 1 when anything was skipped.\n"},
    {"audition",
     "usage: vorna audition DIR... --out-dir OUT [options]\n"
     "Plays note 60 on every voice of every .syx, .fxb and .fxp file in the folders (or of\n"
     "the files given) into a short WAV file each, and writes OUT/index.html, a page that\n"
     "lists them with a player, so that a whole archive can be heard in a browser.\n"
     "Options:\n"
     "  --out-dir OUT   the folder for the WAV files and index.html (created if missing)\n"
     "  --seconds S     length of each WAV file, 0.2 to 10 (default 1); the note is held\n"
     "                  for the first 60 %\n"
     "  --note N        the MIDI note played, 0-127 (default 60)\n"
     "  --force         replace existing files in OUT\n"
     "Files that cannot be read are named and skipped. Exit code 1 when any was skipped.\n"},
    {"render",
     "usage: vorna render [PLUGIN] [SONG.mid] [options]\n"
     "Plays a Standard MIDI File (or the built-in demo phrase) into a WAV file and prints its\n"
     "peak and RMS level. PLUGIN is a plug-in binary to load; without it the plug-in built\n"
     "into vorna plays. A positional argument ending in .mid or .midi is the song.\n"
     "Options:\n"
     "  --out FILE        the WAV file to write (default: out.wav)\n"
     "  --rate HZ         sample rate (default: 44100)\n"
     "  --block N         block size in frames (default: 512)\n"
     "  --program N       program 0..335 to play (default: the start-up program)\n"
     "  --syx FILE --voice N\n"
     "                    play voice N (1-48) of the dump in a .syx file\n"
     "  --fxb FILE --program N\n"
     "                    play program N (0-335) of a bank file\n"
     "  --set \"NAME=V\"    set a parameter, e.g. --set \"OP1: Level=10\"; repeatable\n"
     "  --tail SECONDS    time rendered after the last event (default: 1.5)\n"
     "  --float           32-bit float samples instead of 16-bit PCM\n"},
    {"info", "usage: vorna info PLUGIN\n"
             "Loads the plug-in binary through its VST2 entry and prints its identity, outputs,\n"
             "flags, programs and every parameter with its current value.\n"},
    {"screenshot", "usage: vorna screenshot OUT.png [PLUGIN] [--scale PERCENT]\n"
                   "Loads the plug-in binary (default: the one built with vorna), draws its\n"
                   "editor offscreen and writes the picture as a PNG file.\n"
                   "  --scale PERCENT   the editor's size: 100, 125, 150, 175 or 200\n"
                   "                    (default: the size chosen in the editor)\n"},
};

} // namespace

bool IsHelpOption(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

bool PrintUsage(const std::string& command, std::FILE* out) {
    if (command.empty()) {
        std::fputs(kOverview, out);
        return true;
    }
    for (const CommandHelp& help : kCommands) {
        if (command == help.name) {
            std::fputs(help.text, out);
            return true;
        }
    }
    return false;
}

} // namespace vorna_tool
