#include "controls_testutil.h"

#include <vector>

namespace {
// Whether an argument names a test function (with an optional ":tag") of the class.
bool hasFunction(const QMetaObject* meta, const QByteArray& arg)
{
    const QByteArray name = arg.left(arg.indexOf(':') < 0 ? arg.size() : arg.indexOf(':'));
    return !name.isEmpty() && meta->indexOfMethod(name + "()") >= 0;
}
} // namespace

// Runs every test class linked into the executable; fails if any of them does. Test
// functions named on the command line go to the classes that have them, and only
// those classes run.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    auto named = [&](int i) {
        for (const auto& suite : sty::suites())
            if (hasFunction(suite.second.meta, argv[i]))
                return true;
        return false;
    };
    bool selecting = false;
    for (int i = 1; i < argc; ++i)
        selecting |= named(i);
    int failed = 0;
    for (const auto& suite : sty::suites()) {
        std::vector<char*> args{argv[0]};
        bool chosen = !selecting;
        for (int i = 1; i < argc; ++i) {
            const bool own = hasFunction(suite.second.meta, argv[i]);
            chosen |= own;
            if (own || !named(i))
                args.push_back(argv[i]);
        }
        if (chosen)
            failed += suite.second.run(int(args.size()), args.data()) != 0;
    }
    return failed;
}
