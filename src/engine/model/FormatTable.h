#pragma once

#include <QHash>

#include <cstdint>
#include <vector>

namespace richedit::model {

// Interns formats: equal formats share one id, so runs and paragraphs store 32-bit ids and two
// ids compare equal exactly when their formats do. Ids stay valid for the table's lifetime.
template <class Format> class FormatTable {
public:
    using Id = uint32_t;

    Id intern(const Format& f) {
        auto it = index_.constFind(f);
        if (it != index_.constEnd())
            return it.value();
        const Id id = Id(formats_.size());
        formats_.push_back(f);
        index_.insert(f, id);
        return id;
    }
    const Format& operator[](Id id) const { return formats_[id]; }
    size_t size() const { return formats_.size(); }

private:
    std::vector<Format> formats_;
    QHash<Format, Id> index_;
};

} // namespace richedit::model
