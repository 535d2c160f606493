CREATE TABLE T (id int IDENTITY(1,1) PRIMARY KEY, nombre varchar(58) DEFAULT 'x', fecha datetime DEFAULT GETDATE444444С444444444444444444444444444444444444444424444444444444444444())
DECLARE @n int SET @n = 0
WииииииииииииииииииииSELECT TOP (SELECT :OP 10 PERCENT 1) PERCENT * FROM (SELECT TOP 5 PERCENT * FROM t() LEC TABLE T (id int IDENTITY(1,1) PRIMARY KEY, nombre varchar(58) DEFAULT 'x', fecha datetime DEFAULT GETDATE444444С444444444444444444444444444444444444444424444444444444444444())
DECLARE @n int SET @n = 0
WииииииииииииииииииииSELECT TOP (SELECT :OP 10 PERCENT 1) PERCENT * FROM (SELECT TOP 5 PERCENT * FROM t() LECиииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииHILE @n < 2 BEGIN
кпЖЙ @n = 1 INSERT INTO T$(nombre) VALUES ('uno') ELSE INSERT INTиииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииииHILE @n < 2 BEGIN
кпЖЙ @n = 1 INSERT INTO T$(nombre) VALUES ('uno') ELSE INSERT INTO T (nombre) VALUES (CONVERT(varchar(10), @n))
  SET@n0= @n + 1
END
SELECT TOP 50 PERCENT * FROT TOP (SELM T ORDER BY id
UPDATE T SET nombre = LEFT(nom)) > 30 COMMITECT :OP 10 PERCENT 1) PERCENT * FROM (SELECT TOP 5 
PERx