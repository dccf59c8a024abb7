#include "lum/loading/manager.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <string>
#include <unordered_map>
#include <utility>

#include "lum/diagnostics/exceptions.h"
#include "lum/diagnostics/reporter.h"
#include "lum/model/classes.h"
#include "lum/reader/parse_files.h"
#include "lum/reader/parser.h"
#include "lum/traverse/non_recursive_visitor.h"
#include "loading/unit_reader.h"
#include "platform/file_names.h"

namespace lum {

namespace {

// The files a unit's stub was found through, innermost first: a file that
// names itself, or one already on the way, is not loaded again.
struct tFileChain {
    std::string file;
    std::shared_ptr<const tFileChain> outer;

    static bool Holds(const std::shared_ptr<const tFileChain>& chain, const std::string& file) {
        for (const tFileChain* link = chain.get(); link != nullptr; link = link->outer.get()) {
            if (link->file == file) return true;
        }
        return false;
    }
};

struct tPendingUnit {
    ClumUnitObject* unit;
    WString parentPath;  // the file the stub was found in: the root of its path
    std::shared_ptr<const tFileChain> chain;
    std::size_t id = 0;  // rises along the list: names the entry to the reader
};

using tPendingList = std::list<tPendingUnit>;

// Sets the host's list as the current one for the call, and resets the
// reporter however the call ends.
class tReporterScope {
public:
    explicit tReporterScope(tErrorList& errors) { CErrorReporter::GetInstance().SetErrorList(errors); }
    ~tReporterScope() { CErrorReporter::GetInstance().ResetReporter(); }
    tReporterScope(const tReporterScope&) = delete;
    tReporterScope& operator=(const tReporterScope&) = delete;
};

bool IsA(const ClumVellumEntity* entity, const ClumMetaClass& metaClass) {
    return entity != nullptr && entity->GetMetaClass().IsKindOf(&metaClass);
}

// The file object that holds the entity, climbing from `start`.
const ClumVellumFile* FileAbove(const ClumVellumEntity* start) {
    for (const ClumVellumEntity* entity = start; entity != nullptr; entity = entity->Owner()) {
        if (IsA(entity, ClumVellumFile::StaticGetMetaClass())) return static_cast<const ClumVellumFile*>(entity);
    }
    return nullptr;
}

// The name of the file that holds the entity; "." when it is in none.
WString GetOwningFileName(const ClumVellumEntity* entity) {
    const ClumVellumFile* file = FileAbove(entity);
    return file ? file->fileName.Get() : WString(L".");
}

ClumVellumFile* FindOwningFile(ClumVellumEntity* entity) {
    return const_cast<ClumVellumFile*>(FileAbove(entity->Owner()));
}

std::shared_ptr<const tFileChain> ChainOf(const WString& file, std::shared_ptr<const tFileChain> outer) {
    return std::make_shared<const tFileChain>(tFileChain{platform::CanonicalFileName(file), std::move(outer)});
}

// Resolves the stored paths of external documents; stays out of units that
// have a file of their own, except the one the walk starts at.
class tHyperLinkResolver : public TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
public:
    explicit tHyperLinkResolver(ClumVirtualPathResolver& resolver) : m_pResolver(&resolver) {}

    void Walk(ClumVellumEntity* start) {
        m_pStart = start;
        Visit(start);
        m_pStart = nullptr;
    }

protected:
    bool OnVisit(ClumVellumEntity* entity) override {
        if (entity != m_pStart && IsA(entity, ClumUnitObject::StaticGetMetaClass()) &&
            !static_cast<ClumUnitObject*>(entity)->file_name.IsEmpty()) {
            return false;
        }
        if (!IsA(entity, Clumexternal_doc::StaticGetMetaClass())) return true;
        auto* document = static_cast<Clumexternal_doc*>(entity);
        if (!document->external_doc_path.IsEmpty()) {
            const WString stored = document->external_doc_path.Get();
            document->external_doc_path.Set(m_pResolver->ResolvePath(stored, nullptr));
            // The stored path is what writing the model back gives.
            if (ClumVellumFile* file = FindOwningFile(document)) {
                file->setAside.RememberStoredPath(document, stored, document->external_doc_path.Get());
            }
        }
        return true;
    }

private:
    ClumVirtualPathResolver* m_pResolver;
    ClumVellumEntity* m_pStart = nullptr;
};

// `root` and every object inside it.
std::vector<const ClumVellumEntity*> Contents(const ClumVellumEntity* root) {
    class tLister : public TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
    public:
        std::vector<const ClumVellumEntity*> objects;

    protected:
        bool OnVisit(ClumVellumEntity* entity) override {
            objects.push_back(entity);
            return true;
        }
    } lister;
    lister.Visit(const_cast<ClumVellumEntity*>(root));  // only read
    return std::move(lister.objects);
}

// Where the entry of each unit lies in a list, so that an entry is found
// by its unit without a pass over the list.
using tEntryIndex = std::unordered_map<const ClumVellumEntity*, tPendingList::iterator>;

void Append(tPendingList& list, tEntryIndex& index, tPendingUnit entry) {
    list.push_back(std::move(entry));
    index[list.back().unit] = std::prev(list.end());
}

// Before `root` is deleted: the entries of stubs inside it leave the
// failed list and the part of the pending list not walked yet (`ahead`
// indexes that part; entries walked already may name stubs deleted
// already). The stubs are found among root's few objects and looked up in
// the indexes: a pass over the lists for each unit file loaded would make
// thousands of them quadratic.
void ForgetInside(const ClumVellumEntity* root, tPendingList& pending, tEntryIndex& ahead, tPendingList& remaining,
                  tEntryIndex& failed) {
    for (const ClumVellumEntity* object : Contents(root)) {
        if (!IsA(object, ClumUnitObject::StaticGetMetaClass())) continue;
        if (const auto found = ahead.find(object); found != ahead.end()) {
            pending.erase(found->second);
            ahead.erase(found);
        }
        if (const auto found = failed.find(object); found != failed.end()) {
            remaining.erase(found->second);
            failed.erase(found);
        }
    }
}

// Moves the units of a loaded sub-unit file into the stub's container and
// its fonts to the stub's file, then deletes the stub. The stub is owned
// (checked before its file was read). `forget` is told of every object
// about to be deleted; what was set aside inside it goes with it.
template <class Forget>
void GraftLoadedUnits(ClumUnitObject* stub, ClumVellumFile& file, Forget forget) {
    ClumVellumFile* parentFile = FindOwningFile(stub);
    IlumLink* target = stub->OwningFeature() ? stub->OwningFeature()->GetLink() : nullptr;
    stub->UnsetOwner();
    while (!file.unit.IsEmpty()) {
        ClumUnitObject* unit = file.unit.Get(0);
        unit->UnsetOwner();
        unit->file_name.Set(file.fileName.Get());
        unit->is_loaded.Set(true);
        target->Insert(unit, -1);
        // A unit its stub's container does not accept has no place to go.
        if (unit->OwningFeature() == nullptr) {
            forget(unit);
            file.setAside.ForgetIf([unit](const ClumVellumEntity* owner) { return owner->IsWithin(unit); });
            delete unit;
        } else if (parentFile != nullptr) {
            // The stub's stored path, which the unit's own replaced, is kept
            // for writing the model back.
            parentFile->setAside.RememberStoredPath(unit, stub->file_name.Get());
        }
    }
    if (parentFile != nullptr) {
        // What the catalogue refused inside the units goes with them.
        file.setAside.MoveInto(parentFile->setAside,
                               [parentFile](const ClumVellumEntity* owner) { return owner->IsWithin(parentFile); });
        while (!file.fonts.IsEmpty()) {
            ClumVellumEntity* font = file.fonts.GetAt(0);
            font->UnsetOwner();
            parentFile->fonts.Insert(font, -1);
        }
    }
    forget(stub);
    // Asked of the stub's few objects, not of every path the file keeps: a
    // main file with thousands of units would make this quadratic.
    if (parentFile != nullptr) parentFile->setAside.ForgetAll(Contents(stub));
    delete stub;
}

// How many entries ahead of the walk unit files are read, per worker.
constexpr std::size_t ReadAheadPerWorker = 8;

// The threads that read ahead besides the walk's own: `threads` in all, or
// one per core for 0.
unsigned Workers(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    return threads - 1;
}

// Offers the reads of the next entries after `current` not offered yet,
// their paths resolved as the walk will resolve them (quietly: the walk
// reports what it finds when it gets there). `offered`: the first id not
// offered yet.
void ReadAhead(tUnitReader& reader, const tPendingList& pending, tPendingList::iterator current,
               ClumVirtualPathResolver& resolver, std::size_t& offered) {
    if (!reader.ReadsAhead()) return;
    tErrorList quiet;
    ErrorListScope scope(quiet);
    std::size_t ahead = 0;
    for (auto it = std::next(current); it != pending.end() && ahead < ReadAheadPerWorker * 2; ++it, ++ahead) {
        if (it->id < offered) continue;
        offered = it->id + 1;
        if (it->unit->is_loaded.Get() || it->unit->OwningFeature() == nullptr) continue;
        resolver.SetRootDir(it->parentPath);
        reader.Offer(it->id, resolver.ResolvePath(it->unit->file_name.Get(), it->unit));
    }
}

void LoadPendingUnits(tPendingList& pending, ClumVirtualPathResolver& resolver, unsigned threads) {
    tPendingList remaining;
    tEntryIndex ahead, failed;  // the entries of `pending` not walked yet, and of `remaining`
    for (auto it = pending.begin(); it != pending.end(); ++it) ahead[it->unit] = it;
    tHyperLinkResolver hyperlinks(resolver);
    tUnitReader reader(Workers(threads));
    std::size_t nextId = pending.empty() ? 0 : pending.back().id + 1;
    std::size_t offered = 0;
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        ahead.erase(it->unit);
        ReadAhead(reader, pending, it, resolver, offered);
        ClumUnitObject* unit = it->unit;
        resolver.SetRootDir(it->parentPath);
        const WString stored = unit->file_name.Get();
        if (unit->is_loaded.Get()) continue;
        const WString path = resolver.ResolvePath(stored, unit);
        // A stub with nowhere to put its units, or one whose file is already
        // on the way to it, stays unloaded.
        const auto chain = ChainOf(path, it->chain);
        if (unit->OwningFeature() == nullptr || tFileChain::Holds(it->chain, chain->file)) {
            Append(remaining, failed, *it);
            continue;
        }
        std::unique_ptr<tUnitReader::tRead> read = reader.Claim(it->id, path);
        if (read == nullptr) read = tUnitReader::ReadNow(path);
        {
            const ClumParser::CurrentFile reading(path);
            tErrorList& errors = CErrorReporter::GetInstance().GetErrorList();
            for (const tError& error : read->errors) errors.AddError(error);
        }
        if (read->read) {
            for (ClumUnitObject* found : read->units) Append(pending, ahead, {found, path, chain, nextId++});
            if (read->externalDocs) hyperlinks.Walk(&read->file);
            GraftLoadedUnits(unit, read->file, [&](const ClumVellumEntity* root) {
                ForgetInside(root, pending, ahead, remaining, failed);
            });
            // Whatever the file holds besides its units (a design, say) goes
            // with it, and so do the stubs found there.
            ForgetInside(&read->file, pending, ahead, remaining, failed);
        } else {
            Append(remaining, failed, *it);
        }
    }
    pending.swap(remaining);
}

void ReturnPending(const tPendingList& pending, std::list<ClumUnitObject*>& units) {
    units.clear();
    for (const tPendingUnit& entry : pending) units.push_back(entry.unit);
}

tPendingList PendingOf(const std::list<ClumUnitObject*>& units) {
    tPendingList pending;
    for (ClumUnitObject* unit : units) {
        const WString parent = GetOwningFileName(unit);
        pending.push_back({unit, parent, ChainOf(parent, nullptr), pending.size()});
    }
    return pending;
}

}  // namespace

void ClumManager::LoadModels(tErrorList& errors, const std::vector<WString>& files,
                             std::vector<ClumVellumFile*>& models, std::list<ClumUnitObject*>& units,
                             ClumVirtualPathResolver& resolver, bool loadSubUnits, unsigned threads) {
    tReporterScope scope(errors);
    resolver.SetRootDir(WString());
    resolver.ReduceMap();
    const std::size_t first = models.size();
    std::vector<bool> externalDocs;
    ParseFiles(files, models, units, threads, externalDocs);
    tPendingList pending = PendingOf(units);
    if (loadSubUnits) LoadPendingUnits(pending, resolver, threads);
    ReturnPending(pending, units);

    // The walk covers the models the host had in the list before the call
    // too, and of those read now the ones that made an external document.
    // It stays out of the units loaded from files of their own, which were
    // walked as they came: what it can find was read from the main file itself.
    tHyperLinkResolver hyperlinks(resolver);
    for (std::size_t i = 0; i < models.size(); ++i) {
        if (i >= first && !externalDocs[i - first]) continue;
        resolver.SetRootDir(GetOwningFileName(models[i]));
        hyperlinks.Walk(models[i]);
    }
}

void ClumManager::LoadSubUnits(tErrorList& errors, std::list<ClumUnitObject*>& units,
                               ClumVirtualPathResolver& resolver) {
    resolver.ReduceMap();
    tReporterScope scope(errors);
    tPendingList pending = PendingOf(units);
    LoadPendingUnits(pending, resolver, 1);
    ReturnPending(pending, units);
}

}  // namespace lum
