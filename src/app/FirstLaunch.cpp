#include "app/FirstLaunch.h"

#include "platform/DiagnosticLog.h"

namespace quillon {

QStringList defaultGenres() {
    return {"Action",          "Thriller",  "Drama",   "Epic",        "Horror",    "Adventure",
            "Animation",       "Comedy",    "Crime",   "Documentary", "Biography", "Family",
            "Fantasy",         "Film-Noir", "History", "Musical",     "Mystery",   "Romance",
            "Science Fiction", "Sport",     "War",     "Western"};
}

QStringList defaultRatings() {
    return {"G", "PG", "PG-13", "R"};
}

namespace {
template <class Record>
void seedList(ManagedObjectContext& managedObjectContext, const QStringList& list,
              Attribute attribute) {
    for (const QString& text : list) {
        auto entry = Record::insertInto(managedObjectContext);
        entry->setText(attribute, text);
        const Status status = managedObjectContext.save();
        if (status) continue;
        diagnosticLog(status.describe());
        // Left pending, the refused entry would make every later save fail with it.
        managedObjectContext.refreshObject(entry);
    }
}
}  // namespace

FirstLaunchOutcome runFirstLaunchCheck(QSettings& userDefaults, ManagedObjectContext& context) {
    FirstLaunchOutcome outcome;
    if (userDefaults.value(kAboutHasBeenLaunchedBeforeFlag, false).toBool()) {
        diagnosticLog("Not First Launch");
        return outcome;
    }
    outcome.firstLaunch = true;
    if (context.isReadOnly()) {
        diagnosticLog("First launch postponed: the catalogue is read-only");
        return outcome;
    }
    userDefaults.setValue(kAboutHasBeenLaunchedBeforeFlag, true);
    userDefaults.sync();
    if (userDefaults.status() != QSettings::NoError) {
        outcome.flagNotSaved = true;
        diagnosticLog("The first-launch flag could not be written to " + userDefaults.fileName());
        if (context.count(Entity::GenreList) > 0 && context.count(Entity::RatingList) > 0) {
            diagnosticLog("Not First Launch");
            return outcome;
        }
    }
    diagnosticLog("First Launch");
    seedList<GenreList>(context, defaultGenres(), Attribute::genre);
    seedList<RatingList>(context, defaultRatings(), Attribute::rating);
    outcome.seeded = true;
    return outcome;
}

QString flagNotSavedTitle() {
    return QStringLiteral("Settings Not Saved");
}

QString flagNotSavedMessage(const QString& userDefaultsFile) {
    return QStringLiteral(
               "Quillon could not write its settings file \"%1\", so it cannot "
               "remember that it has been started before. The default genres and "
               "ratings are not added again while both lists hold entries.")
        .arg(userDefaultsFile);
}

}  // namespace quillon
