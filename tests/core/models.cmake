# Number texts and speed units, tweak models and rules, profile reading and layout, loading and starting values.
tunesmith_core_test(numbertext)
tunesmith_core_test(tweakmodels)
tunesmith_core_test(profileplan)
tunesmith_core_test(loadedprofile)
