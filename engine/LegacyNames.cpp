#include "engine/LegacyNames.h"

#include <map>

#include "platform/Text.h"

namespace vexlo {

std::string ModernCodecName(const std::string& name, bool encoder) {
    static const std::map<std::string, std::string> kEncoders = {
        {"libfaac", "aac"},          {"libvo_aacenc", "aac"},       {"libaacplus", "aac"},
        {"vorbis", "libvorbis"},     {"libflac", "flac"},           {"libamr_nb", "libopencore_amrnb"},
        {"libamr_wb", "libvo_amrwbenc"}, {"mp3", "libmp3lame"},     {"h264", "libx264"},
        {"xvid", "libxvid"},         {"libdirac", "vc2"},           {"libschroedinger", "vc2"},
        {"libvpx", "libvpx"},        {"libgsm", "libgsm"},          {"msmpeg4v1", "msmpeg4v2"},
    };
    static const std::map<std::string, std::string> kDecoders = {
        {"libfaad", "aac"}, {"libamr_nb", "libopencore_amrnb"}, {"libamr_wb", "libopencore_amrwb"},
        {"libflac", "flac"}, {"libdirac", "dirac"}, {"libschroedinger", "dirac"},
    };
    const auto& table = encoder ? kEncoders : kDecoders;
    auto it = table.find(ToLowerAscii(name));
    return it == table.end() ? name : it->second;
}

namespace {

struct FlagToken {
    char sign;
    std::string name;
};

std::vector<FlagToken> FlagTokens(const std::string& value) {
    std::vector<FlagToken> out;
    size_t i = 0;
    char sign = '+';
    std::string cur;
    auto flush = [&] {
        if (!cur.empty()) out.push_back({sign, cur});
        cur.clear();
    };
    for (; i < value.size(); ++i) {
        char c = value[i];
        if (c == '+' || c == '-') {
            flush();
            sign = c;
        } else {
            cur += c;
        }
    }
    flush();
    return out;
}

std::string OnOff(char sign) { return sign == '-' ? "0" : "1"; }

void Skip(std::string* skipped, const std::string& what) {
    if (!skipped) return;
    if (!skipped->empty()) *skipped += ", ";
    *skipped += what;
}

}  // namespace

bool TranslateLegacyParameter(const std::string& name, const std::string& value,
                              std::vector<std::pair<std::string, std::string>>& out, std::string* skipped) {
    if (name == "flags2") {
        // libx264's switches moved from the codec-wide flags to the encoder's own options.
        static const std::map<std::string, std::string> kX264 = {
            {"dct8x8", "8x8dct"}, {"wpred", "weightb"}, {"mixed_refs", "mixed-refs"},
            {"fastpskip", "fast-pskip"}, {"mbtree", "mbtree"}, {"aud", "aud"}, {"ssim", "ssim"},
            {"psy", "psy"}};
        static const std::map<std::string, int> kStillGeneric = {
            {"fast", 1}, {"noout", 1}, {"ignorecrop", 1}, {"local_header", 1}, {"chunks", 1},
            {"showall", 1}, {"export_mvs", 1}, {"skip_manual", 1}};
        std::string generic;
        for (const auto& t : FlagTokens(value)) {
            if (auto it = kX264.find(t.name); it != kX264.end()) out.emplace_back(it->second, OnOff(t.sign));
            else if (t.name == "bpyramid") out.emplace_back("b-pyramid", t.sign == '-' ? "none" : "normal");
            else if (kStillGeneric.count(t.name)) generic += t.sign + t.name;
            else Skip(skipped, "flags2 " + std::string(1, t.sign) + t.name);
        }
        if (!generic.empty()) out.emplace_back("flags2", generic);
        return true;
    }
    if (name == "flags") {
        static const std::map<std::string, std::string> kRenamed = {{"4mv", "mv4"}, {"aic", "aic"}};
        static const std::map<std::string, std::string> kMpv = {
            {"mv0", "mv0"}, {"naq", "naq"}, {"qprd", "qp_rd"}, {"cbp", "cbp_rd"}};
        static const std::map<std::string, int> kGeneric = {
            {"unaligned", 1}, {"mv4", 1}, {"qpel", 1}, {"loop", 1}, {"qscale", 1}, {"pass1", 1},
            {"pass2", 1}, {"gray", 1}, {"psnr", 1}, {"truncated", 1}, {"drop_changed", 1},
            {"ildct", 1}, {"low_delay", 1}, {"global_header", 1}, {"bitexact", 1}, {"aic", 1},
            {"cgop", 1}, {"ilme", 1}, {"output_corrupt", 1}};
        std::string generic, mpv;
        for (const auto& t : FlagTokens(value)) {
            std::string n = t.name;
            if (auto it = kRenamed.find(n); it != kRenamed.end()) n = it->second;
            if (n == "loop" && t.sign == '-') out.emplace_back("x264-params", "no-deblock=1");
            if (kGeneric.count(n)) generic += t.sign + n;
            else if (auto m = kMpv.find(n); m != kMpv.end()) mpv += t.sign + m->second;
            else if (n == "gmc" || n == "scan_offset") out.emplace_back(n, OnOff(t.sign));
            else Skip(skipped, "flags " + std::string(1, t.sign) + t.name);
        }
        if (!generic.empty()) out.emplace_back("flags", generic);
        if (!mpv.empty()) out.emplace_back("mpv_flags", mpv);
        return true;
    }
    if (name == "partitions") {
        static const std::map<std::string, std::string> kParts = {
            {"parti4x4", "i4x4"}, {"parti8x8", "i8x8"}, {"partp4x4", "p4x4"}, {"partp8x8", "p8x8"},
            {"partb8x8", "b8x8"}};
        std::string list;
        for (const auto& t : FlagTokens(value)) {
            auto it = kParts.find(t.name);
            if (it == kParts.end()) {
                Skip(skipped, "partitions " + t.name);
                continue;
            }
            if (t.sign == '+') list += (list.empty() ? "" : ",") + it->second;
        }
        out.emplace_back("partitions", list.empty() ? "none" : list);
        return true;
    }
    if (name == "cmp") {
        std::string rest;
        for (const auto& t : FlagTokens(value)) {
            if (t.name == "chroma") out.emplace_back("x264-params", std::string("chroma-me=") + OnOff(t.sign));
            else rest += t.sign + t.name;
        }
        if (!rest.empty()) out.emplace_back("cmp", rest[0] == '+' ? rest.substr(1) : rest);
        return true;
    }
    if (name == "directpred") {
        out.emplace_back("direct-pred", value);
        return true;
    }
    if (name == "cqp") {
        out.emplace_back("qp", value);
        return true;
    }
    return false;
}

std::string ModernFilterGraph(const std::string& graph) {
    std::string out;
    for (const std::string& filter : Split(graph, ',')) {
        std::string f = filter;
        if (f.rfind("crop=", 0) == 0) {
            std::vector<std::string> args = Split(f.substr(5), ':');
            bool positional = args.size() == 4;
            for (const auto& a : args) positional = positional && a.find('=') == std::string::npos;
            if (positional) f = "crop=" + args[2] + ":" + args[3] + ":" + args[0] + ":" + args[1];
        }
        out += (out.empty() ? "" : ",") + f;
    }
    return out;
}

}  // namespace vexlo
