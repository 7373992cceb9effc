// Grouped-view timings on a catalogue made by quillon_generate (--actors gives the number of
// distinct actors). Offscreen, in-process; the device services are the tests' fakes.
//   group_views_bench DATA_DIR
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "FakeServices.h"
#include "groups/BreakdownTableViewController.h"
#include "groups/GroupTabTableViewController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

struct Timings {
    std::vector<double> samples;
    void report(const char* what, double target) {
        std::sort(samples.begin(), samples.end());
        std::printf("%-52s median %9.4f ms  max %9.4f ms  (target <= %g ms)\n", what,
                    samples[samples.size() / 2], samples.back(), target);
    }
};

// Shows the screen in a phone-sized window and paints it once.
std::unique_ptr<NavigationController> show(ViewController* screen) {
    auto window = std::make_unique<NavigationController>(screen);
    window->resize(430, 860);
    window->show();
    window->grab();
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto store = bench::openCatalogueArgument(argc, argv, "group_views_bench");
    if (!store) return 1;
    ManagedObjectContext& context = store->viewContext();
    bench::FakeServices fakes(context);
    Services& services = fakes.services;

    Timings openTab;
    int values = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto* tab = new ActorTabTableViewController(services);
        auto window = show(tab);
        openTab.samples.push_back(ms(timer));
        values = int(tab->query().allRows().size());
        if (run == 0) std::printf("first opening (sorts the catalogue): %.1f ms\n", ms(timer));
    }
    std::printf("catalogue: %d movies, %d distinct actors\n", context.count(Entity::Movies),
                values);
    openTab.report("open the actor tab until its first rows are painted", 300);

    // A drawn row asks for its texts, the count among them.
    auto* tab = new ActorTabTableViewController(services);
    auto window = show(tab);
    const QAbstractItemModel* model = tab->tableView()->model();
    Timings count;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int row = 0; row < model->rowCount(); ++row)
            (void)model->index(row, 0).data(LabelTextsRole);
        count.samples.push_back(ms(timer) / model->rowCount());
    }
    count.report("the texts and count of one drawn row", 0.1);

    // The actor whose movies are nearest to a thousand.
    const std::vector<QString>& actors = tab->query().allRows();
    const auto nearest = std::min_element(actors.begin(), actors.end(), [&](auto& a, auto& b) {
        return std::abs(tab->query().countMovies(a) - 1000) <
               std::abs(tab->query().countMovies(b) - 1000);
    });
    Timings breakdown;
    for (int run = 0; run < 7; ++run) {
        writePickedValue(GroupKind::Actor, *nearest, services.selection);
        QElapsedTimer timer;
        timer.start();
        auto shown = show(new ActorBreakdownTableViewController(services));
        breakdown.samples.push_back(ms(timer));
    }
    std::printf("breakdown of %s: %d movies\n", qPrintable(*nearest),
                tab->query().countMovies(*nearest));
    breakdown.report("open a breakdown until its first rows are painted", 100);
    return 0;
}
