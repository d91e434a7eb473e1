# TQR716 PLU manager — the two commands a fresh Debian 12 machine needs:
#   make run    install what is missing, build, start the program with a simulated register
#   make test   install what is missing, build with sanitizers, run every test
.PHONY: deps configure build test run fuzz fuzz-build fuzz-smoke package clean

BUILD      ?= build
RUN_BUILD  ?= build-run
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
FUZZ_SECONDS ?= 60
SMOKE_SECONDS ?= 3

DEB_PACKAGES = cmake ninja-build g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
               libbenchmark-dev clang-14 libclang-rt-14-dev xvfb xauth poppler-utils
DEB_PACKAGES += libqt6sql6-sqlite   # transfer history
DEB_PACKAGES += libcsv-dev libxlsxwriter-dev libminizip-dev pkgconf   # spreadsheets
DEB_PACKAGES += dpkg-dev desktop-file-utils appstream shared-mime-info   # package
DEB_PACKAGES += libzint-dev zbar-tools fonts-dejavu-core   # shelf labels and reading their barcodes back
DEB_PACKAGES += qt6-charts-dev libqt6opengl6-dev   # sales reports (Qt Charts needs the OpenGL module to configure)
DEB_PACKAGES += qt6-translations-l10n   # Qt's own dialogs in the operator's language

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLU_SANITIZE=ON

# Ninja keeps the moc step of a library from rerunning when a merge adds new
# headers to it; dropping its stamp makes it rescan (cheap when nothing changed).
AUTOGEN_STAMPS = core_autogen/timestamp gui_autogen/timestamp

build: configure
	cd $(BUILD) && rm -f $(AUTOGEN_STAMPS)
	cmake --build $(BUILD)

test: build fuzz-smoke
	ctest --test-dir $(BUILD) --output-on-failure -j 2

run: deps
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLU_TESTS=OFF
	cd $(RUN_BUILD) && rm -f $(AUTOGEN_STAMPS)
	cmake --build $(RUN_BUILD) --target plu-manager ecr-sim
	tools/run-demo.sh $(RUN_BUILD)

fuzz-build: deps
	CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLU_FUZZ=ON
	cd $(FUZZ_BUILD) && rm -f $(AUTOGEN_STAMPS)
	cmake --build $(FUZZ_BUILD)

# Each fuzz target for a minute (FUZZ_SECONDS), corpus kept in build-fuzz/corpus.
fuzz: fuzz-build
	@for t in $(FUZZ_BUILD)/fuzz-bin/fuzz_*; do \
	  name=$$(basename $$t); mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$name || exit 1; \
	done

# A few seconds each, as part of `make test`.
fuzz-smoke: fuzz-build
	@for t in $(FUZZ_BUILD)/fuzz-bin/fuzz_*; do \
	  name=$$(basename $$t); \
	  $$t -max_total_time=$(SMOKE_SECONDS) -seed=1 > $(FUZZ_BUILD)/$$name.log 2>&1 \
	    || { cat $(FUZZ_BUILD)/$$name.log; echo "fuzz target $$name failed"; exit 1; }; \
	  echo "fuzz $$name: $$(grep -o 'DONE.*' $(FUZZ_BUILD)/$$name.log || echo ok)"; \
	done

# An optimised Debian package into dist/ (CPack; dependencies from dpkg-shlibdeps).
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLU_TESTS=OFF -DPLU_BENCH=OFF
	cd $(PACKAGE_BUILD) && rm -f $(AUTOGEN_STAMPS)
	cmake --build $(PACKAGE_BUILD) -j 2
	cd $(PACKAGE_BUILD) && cpack -G DEB
	rm -rf dist/_CPack_Packages
	@ls -1 dist/*.deb

clean:
	rm -rf $(BUILD) $(RUN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) dist
