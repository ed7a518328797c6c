#include "SettingsStore.h"

#include "common/ListFile.h"
#include "common/PathRules.h"
#include "common/Text.h"

#include <functional>

namespace lumo::app {

StoredSettings StoredSettings::fullScreenPlayerDefaults()
{
    StoredSettings defaults;
    defaults.play1 = true;
    defaults.one = false;
    return defaults;
}

Result<std::string> SettingsReader::text(std::string_view name, const std::string& fallback)
{
    Result<std::optional<std::string>> stored = m_registry.readString(kSettingsKey, name);
    if (!stored)
        return stored.error();
    return stored->value_or(fallback);
}

Result<int> SettingsReader::integer(std::string_view name, int fallback)
{
    Result<std::optional<std::string>> stored = m_registry.readString(kSettingsKey, name);
    if (!stored)
        return stored.error();
    if (!stored->has_value())
        return fallback;
    return parseInteger(**stored).value_or(fallback);
}

Result<bool> SettingsReader::boolean(std::string_view name, bool fallback)
{
    Result<int> number = integer(name, fallback ? 1 : 0);
    if (!number)
        return number.error();
    return *number != 0;
}

namespace {

std::string flag(bool value)
{
    return value ? "1" : "0";
}

// Hands a value that was read to its target; a read that failed stops the chain.
template <typename T, typename Apply>
Status deliver(Result<T> read, Apply apply)
{
    if (!read)
        return read.error();
    apply(*read);
    return {};
}

Status inOrder(std::initializer_list<std::function<Status()>> steps)
{
    for (const auto& step : steps)
        if (Status done = step(); !done)
            return done;
    return {};
}

} // namespace

Result<StoredSettings> readPlayerSettings(platform::Registry& registry)
{
    SettingsReader r(registry);
    StoredSettings s = StoredSettings::fullScreenPlayerDefaults();
    const Status status = inOrder({
        [&] { return deliver(r.boolean("Rnd_Checked", s.rnd), [&](bool v) { s.rnd = v; }); },
        [&] { return deliver(r.boolean("Play1_Checked", s.play1), [&](bool v) { s.play1 = v; }); },
        [&] { return deliver(r.boolean("One_Checked", s.one), [&](bool v) { s.one = v; }); },
        [&] { return deliver(r.boolean("loop_Checked", s.loop), [&](bool v) { s.loop = v; }); },
        [&] { return deliver(r.boolean("mute_Checked", s.mute), [&](bool v) { s.mute = v; }); },
        [&] { return deliver(r.integer("qua_Text", s.quality), [&](int v) { s.quality = v; }); },
        [&] { return deliver(r.integer("scale_Text", s.scale), [&](int v) { s.scale = v; }); },
        [&] { return deliver(r.integer("timer", s.timer), [&](int v) { s.timer = v; }); },
    });
    if (!status)
        return status.error();
    return s;
}

Status ReadSettings(platform::Registry& registry, EditorControls& c, std::string& programFolder)
{
    SettingsReader r(registry);
    const StoredSettings d = StoredSettings::mainWindowDefaults();
    return inOrder({
        [&] { return deliver(r.boolean("loop_Checked", d.loop), [&](bool v) { c.setLoop(v); }); },
        [&] { return deliver(r.boolean("mute_Checked", d.mute), [&](bool v) { c.setMute(v); }); },
        [&] { return deliver(r.integer("scale_Text", d.scale), [&](int v) { c.setScaleIndex(v); }); },
        [&] { return deliver(r.integer("qua_Text", d.quality), [&](int v) { c.setQualityIndex(v); }); },
        [&] { return deliver(r.boolean("Play1_Checked", d.play1), [&](bool v) { c.setPlay1(v); }); },
        [&] { return deliver(r.boolean("Rnd_Checked", d.rnd), [&](bool v) { c.setRnd(v); }); },
        [&] { return deliver(r.boolean("One_Checked", d.one), [&](bool v) { c.setOne(v); }); },
        [&] { return deliver(r.integer("timer", d.timer), [&](int v) { c.setTimer(v); }); },
        [&] { return deliver(r.integer("Left", d.left), [&](int v) { c.setLeft(v); }); },
        [&] { return deliver(r.integer("Top", d.top), [&](int v) { c.setTop(v); }); },
        [&] { return deliver(r.text("Path", d.path), [&](const std::string& v) { programFolder = v; }); },
    });
}

Status WriteSettings(platform::Registry& registry, const EditorControls& controls)
{
    const std::pair<std::string_view, std::string> values[] = {
        {"loop_Checked", flag(controls.loop())},
        {"mute_Checked", flag(controls.mute())},
        {"scale_Text", std::to_string(controls.scaleIndex())},
        {"qua_Text", std::to_string(controls.qualityIndex())},
        {"Play1_Checked", flag(controls.play1())},
        {"Rnd_Checked", flag(controls.rnd())},
        {"One_Checked", flag(controls.one())},
        {"timer", std::to_string(controls.timer())},
        {"Left", std::to_string(controls.left())},
        {"Top", std::to_string(controls.top())},
    };
    for (const auto& [name, text] : values) {
        if (Status written = registry.writeString(kSettingsKey, name, text); !written)
            return written;
    }
    return {};
}

std::string listFilePath(const std::string& programFolder, std::string_view name)
{
    return joinHostPath(programFolder, name);
}

std::vector<std::string> fileListLines(const std::vector<PlaylistRow>& rows)
{
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const PlaylistRow& row : rows)
        lines.push_back((row.checked ? "-1;" : "0;") + row.text);
    return lines;
}

std::vector<std::string> playListLines(const std::vector<PlaylistRow>& rows)
{
    std::vector<std::string> lines;
    for (const PlaylistRow& row : rows)
        if (row.checked)
            lines.push_back(row.text);
    return lines;
}

std::vector<PlaylistRow> rowsFromFileList(const std::vector<std::string>& lines)
{
    std::vector<PlaylistRow> rows;
    for (const std::string& line : lines) {
        const std::string prefix = TextBefore(';', line);
        if (prefix.size() == line.size() || (prefix != "-1" && prefix != "0"))
            continue;
        rows.push_back({line.substr(prefix.size() + 1), prefix == "-1"});
    }
    return rows;
}

Status SaveListFiles(platform::FileSystem& files, platform::Registry& registry, const std::string& programFolder,
                     const std::vector<PlaylistRow>& rows, const EditorControls& controls)
{
    if (Status s = writeListFile(files, listFilePath(programFolder, "FileList.list"), fileListLines(rows)); !s)
        return s;
    if (Status s = WriteSettings(registry, controls); !s)
        return s;
    return writeListFile(files, listFilePath(programFolder, "PlayList.list"), playListLines(rows));
}

Result<std::vector<PlaylistRow>> LoadListFile(platform::FileSystem& files, const std::string& programFolder)
{
    const std::string path = listFilePath(programFolder, "FileList.list");
    if (!files.exists(path))
        return std::vector<PlaylistRow>{};
    Result<std::vector<std::string>> lines = readListFile(files, path);
    if (!lines)
        return lines.error();
    return rowsFromFileList(*lines);
}

} // namespace lumo::app
