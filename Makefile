# The two everyday commands: `make demo` and `make test`.
# Each installs what it needs, configures and builds all three targets.

PRESETS := native win64 win32 fuzz web
VELK := build/native/tools/velk/velk

.PHONY: all deps configure build test demo web bench fuzz screenshots dist clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@for p in $(PRESETS); do \
	  [ -f build/$$p/build.ninja ] || cmake --preset $$p >/dev/null || exit 1; \
	done

build: configure
	@for p in $(PRESETS); do cmake --build --preset $$p || exit 1; done

test: build
	ctest --preset native
	ctest --preset win64
	ctest --preset win32
	ctest --preset fuzz
	ctest --preset web

demo: build
	$(VELK) demo --input samples/coffee.png --out out
	@echo "The filters' page: file://$(CURDIR)/build/web/web/index.html (or serve build/web/web/ with any static server)"

# The filters' page alone (WebAssembly): build/web/web/index.html.
web: deps
	@[ -f build/web/build.ninja ] || cmake --preset web >/dev/null
	cmake --build --preset web
	@echo "The filters' page: file://$(CURDIR)/build/web/web/index.html"

# Five repetitions of every benchmark in random order, so that a slow spell of
# the machine touches each figure and its floor alike; medians are the figures.
bench: build
	build/native/bench/velk_bench --benchmark_repetitions=5 \
	  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true

# Every fuzz target for five minutes (make test gives each ten seconds).
fuzz: build
	VELK_FUZZ_SECONDS=300 ctest --preset fuzz

# The pictures of docs/screenshots, made under Wine through the UI driver.
screenshots: build
	scripts/screenshots

# The release files in dist/: the Windows modules of both architectures in
# one zip, built afresh in build/dist/, the same bytes for the same commit.
dist: deps
	scripts/dist

clean:
	rm -rf build out dist
