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

}  // namespace

FolderFiles scanFolder(const std::string& folder, std::span<const ResourceKind* const> kinds) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        throw fileError(N_("Cannot read '%s': %s."), folder, fs::exists(folder, error) ? ENOTDIR : ENOENT);
    }
    FolderFiles files;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const std::string name = walk->path().filename().string();
        const bool isLink = walk->is_symlink(error);
        if (!name.empty() && name.front() == '.') {
            if (walk->is_directory(error) && !isLink) walk.disable_recursion_pending();
            continue;
        }
        if (!walk->is_regular_file(error)) continue;
        const std::string path = walk->path().string();
        if (const std::optional<NamedResource> named = resourceOfFileName(name, kinds)) {
            files.claims.push_back({named->kind, named->id, path});
        } else {
            files.ignored.push_back({path, whyIgnored(path, name, kinds)});
        }
    }
    if (error) throw fileError(N_("Cannot read '%s': %s."), folder, error.value());
    return files;
}

FolderApply::FolderApply(std::span<const ResourceKind* const> kinds, const swf::SWF& game) : kinds_(kinds) {
    for (const ResourceKind* kind : kinds) indices_.emplace_back(*kind, game);
}

FolderApply::Key FolderApply::keyOf(const Claim& claim) const {
    return {static_cast<size_t>(std::find(kinds_.begin(), kinds_.end(), claim.kind) - kinds_.begin()), claim.id};
}

Message FolderApply::title(const Key& key) const {
    const ResourceIndex& index = indices_[key.first];
    return resourceTitle(index.kind(), key.second, index.symbol(key.second));
}

void FolderApply::sortClaims(const FolderFiles& files) {
    // Files that stand for no resource are told after all the resources.
    for (const Ignored& ignored : files.ignored) {
        verdicts_.push_back({{kinds_.size(), 0}, {ignored.path}, Verdict::Ignored, {ignored.reason}});
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
        result.file = claim.kind->readReplacement(claim.path);
        result.tag = replacementTag(*result.file, index.tag(claim.id), index.symbol(claim.id),
                                    [&](const Message& warning) { result.warnings.push_back(warning); });
    } catch (const std::exception&) {
        // Ctrl-C escapes and stops the whole apply.
        result.failure = std::current_exception();
    }
    return result;
}

FileVerdict FolderApply::judge(const Claim& claim, const Prepared& result) const {
    const Key key = keyOf(claim);
    if (result.failure) {
        try {
            std::rethrow_exception(result.failure);
        } catch (const std::exception& e) {
            return {key, {claim.path}, Verdict::Failed, {Message::text(N_("'%s': %s\n"), {claim.path, errorText(e)})}};
        }
    }
    if (!result.tag) return {key, {claim.path}, Verdict::Unchanged, {}};
    const swf::Tag& current = indexOf(claim).tag(claim.id);
    FileVerdict verdict{
        key,
        {claim.path},
        Verdict::Changed,
        {Message::text(N_("%s: %s\n"), {title(key), changeSummary(*claim.kind, current, *result.tag)})}};
    verdict.lines.insert(verdict.lines.end(), result.warnings.begin(), result.warnings.end());
    if (const char* warning = claim.kind->changeWarning(current, *result.tag)) {
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
        if (!prepared_[i].tag) continue;
        const Claim& claim = work_[i];
        const swf::Tag& current = indexOf(claim).tag(claim.id);
        changes.replace(game, *claim.kind, current, std::move(prepared_[i].tag), &*prepared_[i].file);
    }
}

}  // namespace vorlune_forge
