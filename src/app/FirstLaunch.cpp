#include "app/FirstLaunch.h"

#include "platform/DiagnosticLog.h"

namespace quillon {

QStringList defaultGenres() {
    return {"Action",      "Thriller",  "Drama",     "Epic",    "Horror",          "Adventure",
            "Animation",   "Comedy",    "Crime",     "Documentary", "Biography",   "Family",
            "Fantasy",     "Film-Noir", "History",   "Musical", "Mystery",         "Romance",
            "Science Fiction", "Sport", "War",       "Western"};
}

QStringList defaultRatings() { return {"G", "PG", "PG-13", "R"}; }

namespace {
template <class Record>
void seedList(ManagedObjectContext& managedObjectContext, const QStringList& list,
              Attribute attribute) {
    for (const QString& text : list) {
        Record::insertInto(managedObjectContext)->setText(attribute, text);
        const Status status = managedObjectContext.save();
        if (!status) diagnosticLog(status.describe());
    }
}
}  // namespace

void runFirstLaunchCheck(QSettings& userDefaults, ManagedObjectContext& context) {
    if (userDefaults.value(kAboutHasBeenLaunchedBeforeFlag, false).toBool()) {
        diagnosticLog("Not First Launch");
        return;
    }
    userDefaults.setValue(kAboutHasBeenLaunchedBeforeFlag, true);
    userDefaults.sync();
    diagnosticLog("First Launch");
    seedList<GenreList>(context, defaultGenres(), Attribute::genre);
    seedList<RatingList>(context, defaultRatings(), Attribute::rating);
}

}  // namespace quillon
