SELECT TOP 10 [Código], N'año' + 'it''s' FROM MA_CALENDARIO /* c /* anidado */ */ WHERE a <> 1.5e3 -- fin
