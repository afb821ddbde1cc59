# The two commands a player or developer needs: `make play` and `make test` (`./quillom play` and `./quillom test`
# where make is not installed yet). Each target first installs what it needs and is missing, then builds.

JOBS  ?= $(shell nproc)
CMAKE ?= cmake

.PHONY: all deps build build-game play test test-sanitize bench fuzz format clean previews highscores

all: build

# The packages depend on the targets asked for: `make play` needs no test library, `make test` also brings the X
# server its one test needs.
deps:
	tools/install-deps.sh $(MAKECMDGOALS)

# Warnings fail the developers' builds and never a player's, whatever the build folder last had; WERROR=ON or OFF
# on the command line decides instead.
WERROR = OFF
build test test-sanitize previews screenshots: WERROR = ON
configure = $(CMAKE) -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOM_WERROR=$(WERROR)

# Everything: the program, its data files, the tests and the benchmarks.
build: deps
	$(configure) -DQUILLOM_TESTS=ON -DQUILLOM_BENCH=ON
	$(CMAKE) --build build -j $(JOBS)

# A player's build: the program, the data generator and the data files, nothing that needs the test libraries.
build-game: deps
	$(configure) -DQUILLOM_TESTS=OFF -DQUILLOM_BENCH=OFF
	$(CMAKE) --build build -j $(JOBS) --target quillom data

# The game reads its pictures, sounds and high scores from its working directory.
play: build-game
	cd build/data && ../game/quillom

# Puts the first high-score table back in build/data/, in place of the player's.
highscores: build-game
	$(CMAKE) --build build --target highscores

# PNG contact sheets of every generated picture, as the game shows them, in build/previews/.
previews: build
	build/tools/quillom_previews build/data build/previews

test: build
	cd build && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	$(CMAKE) -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLOM_SANITIZE=ON -DQUILLOM_BENCH=OFF \
	  -DQUILLOM_WERROR=$(WERROR)
	$(CMAKE) --build build-sanitize -j $(JOBS)
	cd build-sanitize && ctest --output-on-failure -j $(JOBS)

bench: deps
	$(CMAKE) -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLOM_TESTS=OFF
	$(CMAKE) --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && { echo "== $$b"; "$$b" || exit 1; }; done; true

# Fuzz targets are built with clang, each with a seed corpus of generated data files; run one with e.g.
#   build-fuzz/tests/fuzz/fuzz_<name> -max_total_time=60 FINDS build-fuzz/tests/fuzz/corpus/fuzz_<name>
# where FINDS is a folder of your own: libFuzzer adds the inputs it finds to the first folder only.
fuzz: deps
	CC=clang CXX=clang++ $(CMAKE) -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLOM_FUZZ=ON -DQUILLOM_TESTS=OFF -DQUILLOM_BENCH=OFF
	$(CMAKE) --build build-fuzz -j $(JOBS)

# A tree unpacked from an archive has no git: then every source outside the build folders.
format: deps
	{ git ls-files '*.h' '*.cpp' 2>/dev/null \
	  || find . -path './build*' -prune -o -name '*.h' -print -o -name '*.cpp' -print; } | xargs clang-format -i

# The README's pictures of the running game, in docs/: the program run headless on the virtual clock.
.PHONY: screenshots
screenshots: build
	build/tests/game/quillom_screenshots docs

clean:
	rm -rf build build-sanitize build-bench build-fuzz
