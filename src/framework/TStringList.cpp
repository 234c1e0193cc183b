#include "framework/TStringList.h"

#include "framework/TovraException.h"

TStringList::TStringList(QObject* parent) : TStrings(parent) {}

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int32_t Index, int32_t Limit) const {
    if (Index < 0 || Index >= Limit)
        throw EStringListError(Index);
}

QString TStringList::Get(int32_t Index) const {
    CheckIndex(Index, GetCount());
    return FList[static_cast<size_t>(Index)];
}

int32_t TStringList::GetCount() const {
    return static_cast<int32_t>(FList.size());
}

void TStringList::Put(int32_t Index, const QString& S) {
    CheckIndex(Index, GetCount());
    Changing();
    FList[static_cast<size_t>(Index)] = S;
    Changed();
}

void TStringList::Insert(int32_t Index, const QString& S) {
    CheckIndex(Index, GetCount() + 1);
    Changing();
    FList.insert(FList.begin() + Index, S);
    Changed();
}

void TStringList::Delete(int32_t Index) {
    CheckIndex(Index, GetCount());
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty())
        return;
    Changing();
    FList.clear();
    Changed();
}

int TStringList::CompareStrings(const QString& S1, const QString& S2) const {
    return QString::compare(S1, S2, FCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void TStringList::Changing() {
    if (UpdateCount() != 0 || !FOnChanging)
        return;
    // A copy, so that the handler may replace itself while it runs.
    const TNotifyEvent handler = FOnChanging;
    handler(this);
}

void TStringList::Changed() {
    if (UpdateCount() != 0 || !FOnChange)
        return;
    const TNotifyEvent handler = FOnChange;
    handler(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}
