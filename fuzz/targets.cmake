# The fuzz targets, one per reader: fuzz/<name>_fuzz.cpp with its kept inputs in fuzz/corpus/<name>/.
set(TONFEX_FUZZ_TARGETS settings melody durations catalog capella preset rpphead genmidi
    samplelist capella2 presetlog score player patternfile)
