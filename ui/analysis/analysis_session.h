// What the analysis window keeps for the run of the program (never on
// disk): its size, its last tab, K and the bet type of 収支. The dialog owns it, so a new window
// opens as the last one was left.
#pragma once

#include <QSize>

namespace corvalith {

struct AnalysisSession {
    QSize size{1280, 720};
    int top = 1;
    int tab = 0;
    int bet = 0;  // index into evaluate::kAllBetTypes
};

}  // namespace corvalith
