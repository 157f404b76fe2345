// filled in with the Facebook extractor
