#pragma once

#include "framework/TovraException.h"

#include <QString>

// An object whose values can be copied from another object, also of another kind. Assign asks
// the destination first: a class that knows the source copies it in its own Assign; otherwise the
// source is asked to copy itself into the destination (AssignTo). When neither knows the other
// the copy fails with EConvertError "Cannot assign a <source> to a <destination>".
class TPersistent {
public:
    virtual ~TPersistent() = default;

    // The class name as the assignment error names it.
    virtual QString ClassName() const = 0;

    // Copies Source's values into this object. By default: Source->AssignTo(this); no source
    // fails with "Cannot assign a nil to a <this class>".
    virtual void Assign(const TPersistent* Source) {
        if (Source)
            Source->AssignTo(this);
        else
            AssignError(nullptr);
    }

    // Copies this object's values into Dest. By default it fails with the assignment error.
    virtual void AssignTo(TPersistent* Dest) const {
        if (Dest)
            Dest->AssignError(this);
        else
            RaiseAssignError(ClassName(), QStringLiteral("nil"));
    }

protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;

    // Raises the error of copying Source (nullptr: none) into this object.
    [[noreturn]] void AssignError(const TPersistent* Source) const {
        RaiseAssignError(Source ? Source->ClassName() : QString(), ClassName());
    }
};
