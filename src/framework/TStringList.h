#pragma once

#include "framework/NotifyEvent.h"
#include "framework/TStrings.h"

#include <utility>
#include <vector>

// A string list that holds its lines itself.
//
// Every change tells OnChanging before it is made and OnChange after it, with the list as
// Sender. Inside an update bracket the single changes tell nothing; instead OnChanging is told
// when the first bracket opens and OnChange when the last one closes, once for the whole batch.
// Clearing an empty list changes nothing and tells nothing.
//
// An index outside the lines raises EStringListError ("List index out of bounds (%d)").
class TStringList : public TStrings {
    Q_OBJECT

public:
    explicit TStringList(QObject* parent = nullptr);
    ~TStringList() override;

    QString Get(int32_t Index) const override;
    int32_t GetCount() const override;
    void Put(int32_t Index, const QString& S) override;
    void Insert(int32_t Index, const QString& S) override;
    void Delete(int32_t Index) override;
    void Clear() override;

    // Compares as the list's case sensitivity says (by default without regard to case).
    int CompareStrings(const QString& S1, const QString& S2) const override;
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
    const TNotifyEvent& OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent Value) { FOnChanging = std::move(Value); }

protected:
    // Tell OnChanging and OnChange unless an update bracket is open.
    virtual void Changing();
    virtual void Changed();
    void SetUpdateState(bool Updating) override;

private:
    void CheckIndex(int32_t Index, int32_t Limit) const;

    std::vector<QString> FList;
    bool FCaseSensitive = false;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;
};
