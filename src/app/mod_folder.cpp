#include "app/mod_folder.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/id_lists.h"
#include "app/resource_names.h"
#include "console/l18n.h"
#include "console/signals.h"
#include "util/strings.h"
#include "util/thread_pool.h"

namespace vorlune_forge {

using namespace l18n;

namespace fs = std::filesystem;

namespace {

// Why a file that names no resource is ignored: its name does not have a
// resource's form, or it is of a format that the kind it would be does not
// take.
Message whyIgnored(const std::string& path, const std::string& name, std::span<const ResourceKind* const> kinds) {
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && leadingId(name.substr(0, dot))) {
        const std::string extension = to_lowercase(name.substr(dot));
        for (const ResourceKind* kind : kinds) {
            const auto& others = kind->otherFormats;
            if (std::find(others.begin(), others.end(), extension) != others.end()) {
                return Message::text(kind->otherFormat, {path, extension});
            }
        }
    }
    return Message::text(N_("'%s' is ignored: it is not named like a resource.\n"), {path});
}

// What the report says of a special file.
const char* specialFileLine(fs::file_type type) {
    switch (type) {
        case fs::file_type::fifo:
            return N_("'%s' is ignored: it is a named pipe, not a file.\n");
        case fs::file_type::socket:
            return N_("'%s' is ignored: it is a socket, not a file.\n");
        case fs::file_type::block:
        case fs::file_type::character:
            return N_("'%s' is ignored: it is a device, not a file.\n");
        default:
            return N_("'%s' is ignored: it is not a regular file.\n");
    }
}

// The walk of a folder: each folder's entries in the order of their names,
// so that the report comes out the same every time.
class FolderScan {
public:
    FolderScan(const fs::path& root, std::span<const ResourceKind* const> kinds) : root_(root), kinds_(kinds) {}

    FolderFiles files() && { return std::move(files_); }

    void walk(const fs::path& folder, bool isRoot = false) {
        std::error_code error;
        std::vector<fs::directory_entry> entries;
        for (fs::directory_iterator each(folder, error), end; !error && each != end; each.increment(error)) {
            entries.push_back(*each);
        }
        if (error) return fail(folder, error);
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
        for (const fs::directory_entry& entry : entries) {
            // What the mod says of its game is read by the apply itself.
            if (isRoot && entry.path().filename() == kManifestName) continue;
            visit(entry.path());
        }
    }

private:
    void visit(const fs::path& path) {
        const std::string name = path.filename().string();
        if (!name.empty() && name.front() == '.') {
            return ignore(path, Message::text(N_("'%s' is ignored: its name begins with a dot.\n"), {path.string()}));
        }
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        if (error) return fail(path, error);
        if (fs::is_symlink(status)) return visitLink(path);
        if (fs::is_directory(status)) {
            // The files of a data file's folder belong to it alone.
            if (const std::optional<NamedResource> named = resourceOfFolderName(name, kinds_)) {
                files_.claims.push_back({named->kind, named->id, path.string(), path.string()});
                return;
            }
            return walk(path);
        }
        if (!fs::is_regular_file(status)) return ignoreSpecial(path, status.type());
        take(path, path);
    }

    // A link is followed when it leads to a file inside the folder; the file
    // is then read where the link led when the folder was scanned.
    void visitLink(const fs::path& path) {
        std::error_code error;
        const fs::path target = fs::canonical(path, error);
        if (error) return fail(path, error);
        if (!liesWithin(target)) {
            return ignore(path, Message::text(N_("'%s' is ignored: it is a link that leads outside the folder.\n"),
                                              {path.string()}));
        }
        const fs::file_status status = fs::status(target, error);
        if (error) return fail(path, error);
        if (fs::is_directory(status)) {
            return ignore(path, Message::text(N_("'%s' is ignored: it is a link to a folder, which is not followed.\n"),
                                              {path.string()}));
        }
        if (!fs::is_regular_file(status)) return ignoreSpecial(path, status.type());
        take(path, target);
    }

    void take(const fs::path& path, const fs::path& readFrom) {
        const std::string name = path.filename().string();
        if (const std::optional<NamedResource> named = resourceOfFileName(name, kinds_)) {
            files_.claims.push_back({named->kind, named->id, path.string(), readFrom.string()});
        } else {
            ignore(path, whyIgnored(path.string(), name, kinds_));
        }
    }

    bool liesWithin(const fs::path& target) const {
        const auto [end, unused] = std::mismatch(root_.begin(), root_.end(), target.begin(), target.end());
        return end == root_.end();
    }

    void ignore(const fs::path& path, Message line) {
        files_.unclaimed.push_back({path.string(), Verdict::Ignored, std::move(line)});
    }
    void ignoreSpecial(const fs::path& path, fs::file_type type) {
        ignore(path, Message::text(specialFileLine(type), {path.string()}));
    }
    void fail(const fs::path& path, const std::error_code& error) {
        files_.unclaimed.push_back(
            {path.string(), Verdict::Failed, fileError(kCannotRead, path.string(), error.value()).asMessage()});
    }

    const fs::path root_;
    std::span<const ResourceKind* const> kinds_;
    FolderFiles files_;
};

}  // namespace

FolderFiles scanFolder(const std::string& folder, std::span<const ResourceKind* const> kinds) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        throw fileError(kCannotRead, folder, fs::exists(folder, error) ? ENOTDIR : ENOENT);
    }
    const fs::path root = fs::canonical(folder, error);
    if (error) throw fileError(kCannotRead, folder, error.value());
    FolderScan scan(root, kinds);
    scan.walk(folder, true);
    return std::move(scan).files();
}

FolderApply::FolderApply(std::span<const ResourceKind* const> kinds, const swf::SWF& game) : kinds_(kinds) {
    for (const ResourceKind* kind : kinds) indices_.emplace_back(*kind, game);
}

FolderApply::Key FolderApply::keyOf(const Claim& claim) const {
    return {static_cast<size_t>(std::find(kinds_.begin(), kinds_.end(), claim.kind) - kinds_.begin()), claim.id};
}

Message FolderApply::title(const Key& key) const {
    const ResourceIndex& index = indices_[key.first];
    return resourceTitle(index.kind(), key.second, index.symbol(key.second), index.find(key.second));
}

void FolderApply::sortClaims(const FolderFiles& files) {
    // Entries that stand for no resource are told after all the resources.
    for (const Unclaimed& entry : files.unclaimed) {
        verdicts_.push_back({{kinds_.size(), 0}, {entry.path}, entry.verdict, {entry.line}});
    }
    std::map<Key, std::vector<const Claim*>> claimed;
    for (const Claim& claim : files.claims) {
        const Key key = keyOf(claim);
        if (indices_[key.first].missingId(claim.id) == nullptr) {
            claimed[key].push_back(&claim);
            continue;
        }
        verdicts_.push_back({key,
                             {claim.path},
                             Verdict::NotMatched,
                             {Message::text(N_("'%s' matches no resource: the game has no %s with ID=%s.\n"),
                                            {claim.path, Message::text(claim.kind->noun), claim.id})}});
    }
    for (const auto& [key, claims] : claimed) {
        if (claims.size() == 1) {
            work_.push_back(*claims.front());
            continue;
        }
        std::vector<std::string> paths;
        std::string names;
        for (const Claim* claim : claims) {
            paths.push_back(claim->path);
            names += (names.empty() ? "'" : ", '") + claim->path + "'";
        }
        verdicts_.push_back({key,
                             paths,
                             Verdict::Conflict,
                             {Message::text(N_("%s is claimed by more than one file, so none of them is applied: %s\n"),
                                            {title(key), names})}});
    }
}

FolderApply::Prepared FolderApply::prepareOne(const Claim& claim) const {
    Prepared result;
    const ResourceIndex& index = indexOf(claim);
    try {
        result.file = claim.kind->readReplacement(claim.readFrom);
        result.file->path = claim.path;
        result.made = replacementTag(*result.file, index.tag(claim.id), index.symbol(claim.id),
                                     [&](const Message& warning) { result.warnings.push_back(warning); });
    } catch (const std::exception&) {
        // Ctrl-C escapes and stops the whole apply.
        result.failure = std::current_exception();
    }
    // Only what a change came from is kept until the apply ends, so that
    // the files of a large folder are not all held at once.
    if (result.made.tag) {
        result.file->make = nullptr;
    } else {
        result.file.reset();
    }
    return result;
}

FileVerdict FolderApply::judge(const Claim& claim, const Prepared& result) const {
    const Key key = keyOf(claim);
    if (result.failure) {
        try {
            std::rethrow_exception(result.failure);
        } catch (const std::exception& e) {
            // Some errors end their line themselves; the report's line ends once.
            std::string reason = errorText(e);
            if (!reason.empty() && reason.back() == '\n') reason.pop_back();
            return {key,
                    {claim.path},
                    Verdict::Failed,
                    {Message::text(N_("'%s': %s\n"), {claim.path, Message::shown(reason)})}};
        }
    }
    if (!result.made.tag) return {key, {claim.path}, Verdict::Unchanged, {}};
    const swf::Tag& current = indexOf(claim).tag(claim.id);
    FileVerdict verdict{
        key,
        {claim.path},
        Verdict::Changed,
        {Message::text(N_("%s: %s\n"), {title(key), changeSummary(*claim.kind, current, result.made)})}};
    verdict.lines.insert(verdict.lines.end(), result.warnings.begin(), result.warnings.end());
    if (const char* warning = claim.kind->changeWarning(current, *result.made.tag)) {
        verdict.lines.push_back(Message::text(warning));
    }
    return verdict;
}

void FolderApply::prepare() {
    prepared_.resize(work_.size());
    parallelOrdered<Prepared>(
        work_.size(), [&](size_t i) { return prepareOne(work_[i]); },
        [&](size_t i, Prepared&& result) {
            checkInterrupt();
            prepared_[i] = std::move(result);
        });
    for (size_t i = 0; i < work_.size(); ++i) verdicts_.push_back(judge(work_[i], prepared_[i]));
}

void FolderApply::checkVersions(const ModManifest& manifest) {
    // The verdicts of the files converted come last, in the order of the work.
    const size_t first = verdicts_.size() - work_.size();
    const std::map<ModManifest::Key, const ModManifest::Resource*> described = manifest.byKey();
    for (size_t i = 0; i < work_.size(); ++i) {
        const Claim& claim = work_[i];
        const auto made = described.find({claim.kind->folder, claim.id});
        if (!prepared_[i].made.tag || made == described.end()) continue;
        if (printOf(indexOf(claim).tag(claim.id)).digest == made->second->replaced) continue;
        ++otherVersions_;
        verdicts_[first + i].lines.push_back(
            Message::text(N_("%s: made for another version of the game, whose record differs from this game's.\n"),
                          {title(keyOf(claim))}));
    }
}

std::vector<FileVerdict> FolderApply::verdicts() const {
    std::vector<FileVerdict> sorted = verdicts_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const FileVerdict& a, const FileVerdict& b) { return a.key < b.key; });
    return sorted;
}

size_t FolderApply::count(Verdict verdict) const {
    size_t files = 0;
    for (const FileVerdict& each : verdicts_) files += each.verdict == verdict ? each.paths.size() : 0;
    return files;
}

void FolderApply::putInto(swf::SWF& game, ChangeLog& changes) {
    for (size_t i = 0; i < work_.size(); ++i) {
        if (!prepared_[i].made.tag) continue;
        const Claim& claim = work_[i];
        const swf::Tag& current = indexOf(claim).tag(claim.id);
        changes.replace(game, *claim.kind, current, std::move(prepared_[i].made.tag), &*prepared_[i].file);
    }
}

}  // namespace vorlune_forge
