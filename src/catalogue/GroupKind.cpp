#include "catalogue/GroupKind.h"

namespace quillon {

QString commandNameOf(GroupKind kind) {
    switch (kind) {
        case GroupKind::Genre:
            return QStringLiteral("genre");
        case GroupKind::Actor:
            return QStringLiteral("actor");
        case GroupKind::Actress:
            return QStringLiteral("actress");
        case GroupKind::Director:
            return QStringLiteral("director");
        case GroupKind::Producer:
            return QStringLiteral("producer");
    }
    return {};
}

std::optional<GroupKind> groupKindNamed(QStringView name) {
    for (GroupKind kind : kGroupKinds)
        if (name == commandNameOf(kind)) return kind;
    return std::nullopt;
}

}  // namespace quillon
