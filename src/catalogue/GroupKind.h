#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace quillon {

// The five ways the catalogue is grouped, in the order of the tabs.
enum class GroupKind { Genre, Actor, Actress, Director, Producer };
inline constexpr std::array kGroupKinds{GroupKind::Genre, GroupKind::Actor, GroupKind::Actress,
                                        GroupKind::Director, GroupKind::Producer};

// "genre", "actor", "actress", "director", "producer": the names scripts use.
QString commandNameOf(GroupKind kind);
std::optional<GroupKind> groupKindNamed(QStringView name);

}  // namespace quillon
